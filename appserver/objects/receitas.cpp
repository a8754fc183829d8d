#include "receitas.h"

#include "appserver/errors.h"
#include "appserver/resultcolumns.h"
#include "appserver/sqlpacket.h"
#include "db/database.h"

#include <QStringList>

namespace appserver::receitas {

namespace {

// What one level stores: its list and dish-data tables with their own columns (typed, in the
// compact notation of resultcolumns.h) and the level keys that select one branch, service or
// menu type.
struct Tabelas {
    const char* lista;
    const char* colunasLista;
    const char* dados;
    const char* colunasDados;
    bool dadosComProduto; // the dish data names a production product and a household measure
    QStringList chaves;   // level keys before the dish key
};

const Tabelas& tabelas(Nivel nivel)
{
    static const Tabelas padrao{
        "PRODPRAT",
        "CDFILAUXPRAT:T4 CDPRATO:T10 CDPRODUTO:T10 QTPRODPRAT:D SGUNIDADE:T10 VRPEFATCOCPR:D VRPEFATCOCPRAP:D "
        "VRPEFATCORPR:D VRPEFATCORPRAP:D HRTEMPPREPPR:T5 QTUNIDESTPR:D QTBRUTAPRUNR:D QTBRUTAPR:D IDPRODBASEPR:T1 "
        "CDAPRERECE:T3 VRPEFATNUTPR:D QTCALCNUTRPR:D IDQTDEFIXPR:T1 QTLIMSEGPADR:T3 IDTPREQPRODPADR:T1 "
        "QTCOMPLPRODPADR:D IDUTCOMPENTDIRP:T1 VRPERCDEGELO:D",
        "DADOSPRAT",
        "CDFILAUXPRAT:T4 CDPRATO:T10 NRCORPRIPRAT:I NRCORSEQPRAT:I NRCORAUXPRAT:I QTPADRAOPRAT:D QTCONTAIPRAT:D "
        "HRVALCONPRAT:D NMFANTASIAPR:T80 QTAMOSTRPADR:D VRPEMINPADR:D CDPRODPRODUCAO:T10 IDPRODCHILL:T1 IDFINALPADR:T1 "
        "QTLIMSEGPADR:T3 IDTPPRODCHILL:T30 IDATIVO:T1 CDMEDICASE:T5 QTMEDICASEPRATPADR:D",
        true,
        {}};
    static const Tabelas tpCard{
        "RECETPCARD",
        "CDFILCENTPME:T4 CDTIPOCARD:T10 CDFILAUXPRAT:T4 CDPRATO:T10 CDPRODUTO:T10 QTPRODPRATTP:D SGUNIDADE:T10 "
        "VRPEFATCOCPRTP:D VRPEFATCOCPRTPAP:D VRPEFATCORPRTP:D VRPEFATCORPRTPAP:D HRTEMPPREPPRTP:T5 QTUNIDESTPRTP:D "
        "QTBRUTAPRUNRTP:D QTBRUTAPRTP:D IDPRODBASEPRTP:T1 CDAPRERECE:T3 VRPEFATNUTPRTP:D QTCALCNUTRPRTP:D "
        "IDQTDEFIXPRTP:T1 VRPERCDEGELO:D",
        "PRATTPCARD",
        "CDFILCENTPME:T4 CDTIPOCARD:T10 CDFILAUXPRAT:T4 CDPRATO:T10 NRCORPRIPRATTP:I NRCORSEQPRATTP:I "
        "NRCORAUXPRATTP:I QTPADRAOPRATTP:D QTCONTAIPRATTP:D HRVALCONPRATTP:D NMFANTASIAPRTP:T80 QTAMOSTRPADRTP:D "
        "VRPEMINPADRTP:D IDATIVO:T1",
        false,
        {"CDFILCENTPME", "CDTIPOCARD"}};
    static const Tabelas filial{
        "RECEFILI",
        "CDFILIAL:T4 CDFILAUXPRAT:T4 CDPRATO:T10 CDPRODUTO:T10 QTPRODRECLOC:D SGUNIDADE:T10 VRPEFATCOCLO:D "
        "VRPEFATCOCLOAP:D VRPEFATCORLO:D VRPEFATCORLOAP:D HRTEMPPREPLO:T5 QTUNIDESTLO:D QTBRUTALOUNR:D QTBRUTALO:D "
        "IDPRODBASELO:T1 CDAPRERECE:T3 VRPEFATNUTLO:D QTCALCNUTRLO:D IDQTDEFIXLO:T1 QTLIMSEGFILI:T3 "
        "IDTPREQPRODFILI:T1 QTCOMPLPRODFILI:D IDUTCOMPENTDIRF:T1 VRPERCDEGELO:D",
        "PRATFILI",
        "CDFILIAL:T4 CDFILAUXPRAT:T4 CDPRATO:T10 NRCORPRIFILI:I NRCORSEQFILI:I NRCORAUXFILI:I QTPADRAOFILI:D "
        "QTCONTAIFILI:D HRVALCONFILI:D NMFANTASIAPF:T80 QTAMOSTRFILI:D VRPEMINFILI:D CDPRODPRODUCAO:T10 "
        "IDPRODCHILL:T1 IDFINALFILI:T1 QTLIMSEGFILI:T3 IDTPPRODCHILL:T30 IDATIVO:T1 CDMEDICASE:T5 "
        "QTMEDICASEPRATFILI:D",
        true,
        {"CDFILIAL"}};
    static const Tabelas servico{
        "RECESERV",
        "CDFILIAL:T4 CDSERVFILI:T5 CDFILAUXPRAT:T4 CDPRATO:T10 CDPRODUTO:T10 QTPRODRECSER:D SGUNIDADE:T10 "
        "VRPEFATCOCSE:D VRPEFATCOCSEAP:D VRPEFATCORSE:D VRPEFATCORSEAP:D HRTEMPPREPSE:T5 QTUNIDESTSE:D "
        "QTBRUTASEUNR:D QTBRUTASE:D IDPRODBASESE:T1 CDAPRERECE:T3 VRPEFATNUTSE:D QTCALCNUTRSE:D IDQTDEFIXSE:T1 "
        "QTLIMSEGSERV:T3 IDTPREQPRODSERV:T1 QTCOMPLPRODSERV:D IDUTCOMPENTDIRS:T1 VRPERCDEGELO:D",
        "PRATSERV",
        "CDFILIAL:T4 CDSERVFILI:T5 CDFILAUXPRAT:T4 CDPRATO:T10 NRCORPRISERV:I NRCORSEQSERV:I NRCORAUXSERV:I "
        "QTPADRAOSERV:D QTCONTAISERV:D HRVALCONSERV:D NMFANTASIASE:T80 QTAMOSTRSERV:D VRPEMINSERV:D "
        "CDPRODPRODUCAO:T10 IDPRODCHILL:T1 IDFINALSERV:T1 QTLIMSEGSERV:T3 IDTPPRODCHILL:T30 IDATIVO:T1 "
        "CDMEDICASE:T5 QTMEDICASEPRATSERV:D",
        true,
        {"CDFILIAL", "CDSERVFILI"}};
    switch (nivel) {
    case Nivel::TpCard: return tpCard;
    case Nivel::Filial: return filial;
    case Nivel::Servico: return servico;
    case Nivel::Padrao: break;
    }
    return padrao;
}

// The names of a column list ("NAME:TYPE ...").
QStringList columnNames(const char* columns)
{
    QStringList names;
    for (const QString& item : QString::fromLatin1(columns).split(u' ', Qt::SkipEmptyParts))
        names << item.section(u':', 0, 0);
    return names;
}

// The table's own columns, prefixed with its alias.
QString selectList(const char* columns, const char* alias)
{
    QStringList names = columnNames(columns);
    for (QString& name : names)
        name.prepend(QLatin1String(alias) + u'.');
    return names.join(QStringLiteral(", "));
}

// Rows of the group's dishes of the standard tree and the working branch's own, of one branch,
// service or menu type. The group is compared by position, so that a '%' or '_' in it stays a
// character; the range on the code lets the key's index find the group (codes are ASCII, and
// SQLite compares them byte by byte: every code of the group sorts below the group followed by
// U+FFFF; PostgreSQL's collation may not, so there the range stays open above). Appends the
// bound values in the order of the text.
QString where(Call& call, const Tabelas& t, const QString& group, const QString& branch, const QVariantList& scope,
              QVariantList& values)
{
    QString sql;
    for (int i = 0; i < t.chaves.size(); ++i) {
        sql += QStringLiteral("R.%1 = ? AND ").arg(t.chaves[i]);
        values << scope.value(i);
    }
    sql = QStringLiteral(" WHERE ") + sql
          + QStringLiteral("R.CDFILAUXPRAT IN ('P', ?) AND R.CDPRATO >= ? AND SUBSTR(R.CDPRATO, 1, ?) = ?");
    values << branch << group << group.size() << group;
    if (!db::isPostgres(call.db())) {
        sql += QStringLiteral(" AND R.CDPRATO < ?");
        values << group + QChar(0xFFFF);
    }
    return sql;
}

framework::FieldDefs withExtra(const char* own, const char* extra)
{
    framework::FieldDefs defs = fields(own);
    defs += fields(extra);
    return defs;
}

} // namespace

QVariantList carrega(Call& call, Nivel nivel, const QString& group, const QString& branch, const QVariantList& scope)
{
    const Tabelas& t = tabelas(nivel);
    QVariantList listValues;
    const QString listSql =
        QStringLiteral("SELECT %1, P.NMPRODUTO, P.SGUNIDADE, P.CDARVPROD, A.NMAPRERECE FROM %2 R "
                       "JOIN PRODUTO P ON P.CDPRODUTO = R.CDPRODUTO "
                       "LEFT JOIN APRERECE A ON A.CDAPRERECE = R.CDAPRERECE")
            .arg(selectList(t.colunasLista, "R"), QLatin1String(t.lista))
        + where(call, t, group, branch, scope, listValues)
        + QStringLiteral(" ORDER BY R.CDFILAUXPRAT, R.CDPRATO, R.CDPRODUTO");
    const framework::FieldDefs listFields =
        withExtra(t.colunasLista, "NMPRODUTO:T50 SGUNIDPROD:T10 CDARVPROD:T20 NMAPRERECE:T30");

    QVariantList dishValues;
    QString dishSql;
    framework::FieldDefs dishFields;
    if (t.dadosComProduto) {
        dishSql = QStringLiteral("SELECT %1, P.CDARVPROD, P.NMPRODUTO, M.NMMEDICASE FROM %2 R "
                                 "LEFT JOIN PRODUTO P ON P.CDPRODUTO = R.CDPRODPRODUCAO "
                                 "LEFT JOIN MEDICASE M ON M.CDMEDICASE = R.CDMEDICASE")
                      .arg(selectList(t.colunasDados, "R"), QLatin1String(t.dados));
        dishFields = withExtra(t.colunasDados, "CDARVPROD:T20 NMPRODUTO:T50 NMMEDICASE:T40");
    } else {
        dishSql = QStringLiteral("SELECT %1 FROM %2 R").arg(selectList(t.colunasDados, "R"), QLatin1String(t.dados));
        dishFields = fields(t.colunasDados);
    }
    dishSql += where(call, t, group, branch, scope, dishValues) + QStringLiteral(" ORDER BY R.CDFILAUXPRAT, R.CDPRATO");

    return {QVariant::fromValue(call.select(listSql, listValues, listFields)),
            QVariant::fromValue(call.select(dishSql, dishValues, dishFields))};
}

void atualiza(Call& call, Nivel nivel, const framework::DataPacket& log)
{
    const Tabelas& t = tabelas(nivel);
    QStringList keys = t.chaves;
    keys << QStringLiteral("CDFILAUXPRAT") << QStringLiteral("CDPRATO") << QStringLiteral("CDPRODUTO");
    // The list's own columns are all the client may write; looked-up names are never written.
    call.apply(log, {QString::fromLatin1(t.lista), keys, columnNames(t.colunasLista)});
}

void atualizaDados(Call& call, Nivel nivel, const framework::DataPacket& log, const QString& nulos)
{
    const Tabelas& t = tabelas(nivel);
    QStringList keys = t.chaves;
    keys << QStringLiteral("CDFILAUXPRAT") << QStringLiteral("CDPRATO");
    const QStringList columns = columnNames(t.colunasDados);
    call.apply(log, {QString::fromLatin1(t.dados), keys, columns});

    // The names come from the client: each must be one of the table's own non-key columns, and
    // only that known name is put in the statement. Looked-up names (NMPRODUTO, ...) are not
    // stored here and are passed over.
    static const QStringList lookedUp{QStringLiteral("CDARVPROD"), QStringLiteral("NMPRODUTO"), QStringLiteral("NMMEDICASE")};
    QStringList sets;
    for (const QString& name : nulos.split(u'_', Qt::SkipEmptyParts)) {
        if (lookedUp.contains(name, Qt::CaseInsensitive))
            continue;
        const int column = columns.indexOf(name.toUpper());
        if (column < 0 || keys.contains(columns[column]))
            throw Refusal(QStringLiteral("Campo %1 não pode ser anulado em %2.").arg(name, QLatin1String(t.dados)));
        sets << columns[column] + QStringLiteral(" = NULL");
    }
    if (sets.isEmpty())
        return;
    QStringList where;
    for (const QString& key : keys)
        where << key + QStringLiteral(" = ?");
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                            .arg(QLatin1String(t.dados), sets.join(QStringLiteral(", ")), where.join(QStringLiteral(" AND ")));
    for (int row = 0; row < log.rowCount(); ++row) {
        const framework::RowStatus status = log.rowStatus(row);
        if (status != framework::RowStatus::Inserted && status != framework::RowStatus::Modified)
            continue;
        QVariantList values;
        for (const QString& key : keys) {
            const int column = log.rows.indexOf(key);
            if (column < 0)
                throw Refusal(QStringLiteral("Chave %1 não veio nos dados de %2.").arg(key, QLatin1String(t.dados)));
            values << log.rows.text(row, column);
        }
        execute(call.db(), sql, values);
    }
}

} // namespace appserver::receitas
