// The preparation modes of a dish on the standard, branch and service levels, and the dish's
// preparation forms: methods of Pla01300.rdmReceitaPadrao.
#include "numeracao.h"
#include "rdmreceitapadrao.h"

#include "appserver/errors.h"
#include "appserver/resultcolumns.h"
#include "framework/core/consiste.h"

namespace appserver {

namespace {

// One level's table. Its key is the dish, the level's scope and the mode number; exactly the
// columns below, in this order, go to the client.
struct NivelPreparo {
    const char* tabela;
    QStringList escopo;   // CDFILIAL, CDSERVFILI where the level has them
    QString numero;       // NRPREP...
    QString ativo;        // IDPREP...: "1" active, "2" deactivated
    QString texto;        // TXPREP...
    QString responsavel;  // NMRPREP...
    const char* colunas;

    QStringList chaves() const
    {
        return QStringList{QStringLiteral("CDFILAUXPRAT"), QStringLiteral("CDPRATO")} + escopo + QStringList{numero};
    }
    // "CDFILAUXPRAT = ? AND CDPRATO = ? [AND CDFILIAL = ? [AND CDSERVFILI = ?]]"
    QString filtroPrato() const
    {
        QString sql = QStringLiteral("CDFILAUXPRAT = ? AND CDPRATO = ?");
        for (const QString& column : escopo)
            sql += QStringLiteral(" AND %1 = ?").arg(column);
        return sql;
    }
};

const NivelPreparo padrao{"PREPPRAT", {}, "NRPREPPRAT", "IDPREPPRAT", "TXPREPPRAT", "NMRPREPPRAT",
                          "CDFILAUXPRAT:T4 CDPRATO:T10 NRPREPPRAT:T2 IDPREPPRAT:T1 TXPREPPRAT:X NMRPREPPRAT:T40"};
const NivelPreparo filial{"PREPFILI", {"CDFILIAL"}, "NRPREPFILI", "IDPREPFILI", "TXPREPFILI", "NMRPREPFILI",
                          "CDFILAUXPRAT:T4 CDPRATO:T10 CDFILIAL:T4 NRPREPFILI:T2 IDPREPFILI:T1 TXPREPFILI:X "
                          "NMRPREPFILI:T40"};
const NivelPreparo servico{"PREPSERV", {"CDFILIAL", "CDSERVFILI"}, "NRPREPSERV", "IDPREPSERV", "TXPREPSERV",
                           "NMRPREPSERV",
                           "CDFILAUXPRAT:T4 CDPRATO:T10 CDFILIAL:T4 CDSERVFILI:T5 NRPREPSERV:T2 IDPREPSERV:T1 "
                           "TXPREPSERV:X NMRPREPSERV:T40"};

// A code as its key column holds it; blank stays blank.
QString codigo(const QString& text, int width)
{
    return framework::Ajusta(text, width);
}

// The dish and the level's scope from the arguments starting at `first`.
QVariantList valoresPrato(Call& call, const NivelPreparo& nivel, int first)
{
    QVariantList values{call.text(first).trimmed(), call.text(first + 1).trimmed()};
    if (!nivel.escopo.isEmpty())
        values << codigo(call.text(first + 2), 4);
    if (nivel.escopo.size() > 1)
        values << codigo(call.text(first + 3), 5);
    return values;
}

framework::DataPacket modos(Call& call, const NivelPreparo& nivel)
{
    const auto def = fields(nivel.colunas);
    QStringList columns;
    for (const auto& field : def)
        columns << field.name;
    return call.select(QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %4, %5")
                           .arg(columns.join(QStringLiteral(", ")), QLatin1String(nivel.tabela), nivel.filtroPrato(),
                                nivel.ativo, nivel.numero),
                       valoresPrato(call, nivel, 0), def);
}

// Applies the change log; a dish keeps at most one active mode on each level.
void atualizaModos(Call& call, const NivelPreparo& nivel)
{
    call.apply(call.packet(0), {QString::fromLatin1(nivel.tabela), nivel.chaves()});
    QStringList groups{QStringLiteral("CDFILAUXPRAT"), QStringLiteral("CDPRATO")};
    groups += nivel.escopo;
    const QVariant doubled = call.value(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = '1' GROUP BY %3 HAVING COUNT(*) > 1")
                                            .arg(QLatin1String(nivel.tabela), nivel.ativo, groups.join(QStringLiteral(", "))));
    if (doubled.isValid() && !doubled.isNull())
        throw Refusal(QStringLiteral("Já existe um modo de preparo ativo para este prato. Desative-o antes de ativar outro."));
}

} // namespace

QVariant RdmReceitaPadrao::GetPrepPad(Call& call) const
{
    return QVariant::fromValue(modos(call, padrao));
}

QVariant RdmReceitaPadrao::GetPrepFil(Call& call) const
{
    return QVariant::fromValue(modos(call, filial));
}

QVariant RdmReceitaPadrao::GetPrepSer(Call& call) const
{
    return QVariant::fromValue(modos(call, servico));
}

QVariant RdmReceitaPadrao::GetProxCodigoPrat(Call& call) const
{
    static const auto defs = fields("NRPREPPRAT:D NRPREPFILI:D NRPREPSERV:D");
    // The level is told by the scope sent: no branch is the standard level, no service the branch's.
    const QString branch = codigo(call.text(2), 4);
    const QString service = codigo(call.text(3), 5);
    const NivelPreparo& nivel = branch.isEmpty() ? padrao : service.isEmpty() ? filial : servico;
    call.setArg(2, branch);
    call.setArg(3, service);
    QVariantList values{call.text(0).trimmed(), call.text(1).trimmed()};
    if (nivel.escopo.size() > 0)
        values << branch;
    if (nivel.escopo.size() > 1)
        values << service;
    const QString sql = selectProximoNumero({padrao.numero, filial.numero, servico.numero}, nivel.numero,
                                            QLatin1String(nivel.tabela), nivel.filtroPrato());
    return QVariant::fromValue(call.select(sql, values, defs));
}

void RdmReceitaPadrao::UpdPrepPad(Call& call) const
{
    atualizaModos(call, padrao);
}

void RdmReceitaPadrao::UpdPrepFil(Call& call) const
{
    atualizaModos(call, filial);
}

void RdmReceitaPadrao::UpdPrepSer(Call& call) const
{
    atualizaModos(call, servico);
}

QVariant RdmReceitaPadrao::GetImportaPrep(Call& call) const
{
    static const auto defs = fields("TXPREPARO:X");
    const QString letter = call.text(4).trimmed().toUpper();
    const NivelPreparo& nivel = letter == u"S" ? servico : letter == u"F" ? filial : padrao;
    return QVariant::fromValue(call.select(QStringLiteral("SELECT %1 AS TXPREPARO FROM %2 WHERE %3 AND %4 = '1' ORDER BY %5")
                                               .arg(nivel.texto, QLatin1String(nivel.tabela), nivel.filtroPrato(),
                                                    nivel.ativo, nivel.numero),
                                           valoresPrato(call, nivel, 0), defs));
}

QVariant RdmReceitaPadrao::GetVdFormaPreparo(Call& call) const
{
    static const auto defs = fields("NRFORMAPREPARO:D CODIGO:T10 NMFORMAPREPARO:T30");
    const char* const select = "SELECT NRFORMAPREPARO, CODIGO, NMFORMAPREPARO FROM FORMAPREPARO";
    if (call.text(0).trimmed() == u"T")
        return QVariant::fromValue(
            call.select(QStringLiteral("%1 ORDER BY NRFORMAPREPARO").arg(QLatin1String(select)), {}, defs));
    return QVariant::fromValue(call.select(QStringLiteral("%1 WHERE NRFORMAPREPARO = ?").arg(QLatin1String(select)),
                                           {call.integer(1)}, defs));
}

} // namespace appserver
