#include "lugarreceita.h"

#include "appserver/errors.h"
#include "appserver/postgrespacket.h"
#include "appserver/resultcolumns.h"
#include "appserver/sqlpacket.h"
#include "db/database.h"
#include "framework/core/consiste.h"

#include <QSqlError>
#include <QSqlQuery>
#include <array>
#include <optional>

namespace appserver {

// The tables and columns of one level; the ingredient columns in the order of ingrediente::Coluna,
// nullptr where the level has none.
struct TabelaNivel {
    const char* ingredientes;
    const char* dados;
    const char* quantidadePessoa;
    std::array<const char*, 2> chaves; // nullptr past the level's keys
    std::array<const char*, ingrediente::Colunas> colunas;
};

namespace {

// In the order of LugarReceita::Nivel.
const TabelaNivel niveis[] = {
    {"PRODPRAT", "DADOSPRAT", "QTPADRAOPRAT", {nullptr, nullptr},
     {"CDFILAUXPRAT", "CDPRATO", "CDPRODUTO", "QTPRODPRAT", "SGUNIDADE", "VRPEFATCOCPR", "VRPEFATCOCPRAP",
      "VRPEFATCORPR", "VRPEFATCORPRAP", "HRTEMPPREPPR", "QTUNIDESTPR", "QTBRUTAPRUNR", "QTBRUTAPR", "IDPRODBASEPR",
      "CDAPRERECE", "VRPEFATNUTPR", "QTCALCNUTRPR", "IDQTDEFIXPR", "QTLIMSEGPADR", "IDTPREQPRODPADR",
      "QTCOMPLPRODPADR", "IDUTCOMPENTDIRP", "VRPERCDEGELO"}},
    {"RECEFILI", "PRATFILI", "QTPADRAOFILI", {"CDFILIAL", nullptr},
     {"CDFILAUXPRAT", "CDPRATO", "CDPRODUTO", "QTPRODRECLOC", "SGUNIDADE", "VRPEFATCOCLO", "VRPEFATCOCLOAP",
      "VRPEFATCORLO", "VRPEFATCORLOAP", "HRTEMPPREPLO", "QTUNIDESTLO", "QTBRUTALOUNR", "QTBRUTALO", "IDPRODBASELO",
      "CDAPRERECE", "VRPEFATNUTLO", "QTCALCNUTRLO", "IDQTDEFIXLO", "QTLIMSEGFILI", "IDTPREQPRODFILI",
      "QTCOMPLPRODFILI", "IDUTCOMPENTDIRF", "VRPERCDEGELO"}},
    {"RECESERV", "PRATSERV", "QTPADRAOSERV", {"CDFILIAL", "CDSERVFILI"},
     {"CDFILAUXPRAT", "CDPRATO", "CDPRODUTO", "QTPRODRECSER", "SGUNIDADE", "VRPEFATCOCSE", "VRPEFATCOCSEAP",
      "VRPEFATCORSE", "VRPEFATCORSEAP", "HRTEMPPREPSE", "QTUNIDESTSE", "QTBRUTASEUNR", "QTBRUTASE", "IDPRODBASESE",
      "CDAPRERECE", "VRPEFATNUTSE", "QTCALCNUTRSE", "IDQTDEFIXSE", "QTLIMSEGSERV", "IDTPREQPRODSERV",
      "QTCOMPLPRODSERV", "IDUTCOMPENTDIRS", "VRPERCDEGELO"}},
    {"RECETPCARD", "PRATTPCARD", "QTPADRAOPRATTP", {"CDFILCENTPME", "CDTIPOCARD"},
     {"CDFILAUXPRAT", "CDPRATO", "CDPRODUTO", "QTPRODPRATTP", "SGUNIDADE", "VRPEFATCOCPRTP", "VRPEFATCOCPRTPAP",
      "VRPEFATCORPRTP", "VRPEFATCORPRTPAP", "HRTEMPPREPPRTP", "QTUNIDESTPRTP", "QTBRUTAPRUNRTP", "QTBRUTAPRTP",
      "IDPRODBASEPRTP", "CDAPRERECE", "VRPEFATNUTPRTP", "QTCALCNUTRPRTP", "IDQTDEFIXPRTP", nullptr, nullptr, nullptr,
      nullptr, "VRPERCDEGELO"}},
};

// Bound values per statement: SQLite's smallest limit, and a size PostgreSQL takes at ease.
int limiteValores(const QSqlDatabase& db) { return db::isPostgres(db) ? 30000 : 999; }
// Bound values per INSERT of many rows: PostgreSQL plans a shorter list of rows much faster
// (10,000 rows of 25 values in statements of 5,000 values take half the time of 30,000).
int valoresPorInsercao(const QSqlDatabase& db) { return db::isPostgres(db) ? 5000 : 999; }

QString marcas(int n)
{
    QString text;
    text.reserve(n * 3);
    for (int i = 0; i < n; ++i)
        text += i ? QStringLiteral(", ?") : QStringLiteral("?");
    return text;
}

// The dishes grouped by owner, in runs of at most `tamanho` codes: f(owner, codes).
template <class F>
void porDono(const QList<ChavePrato>& pratos, int tamanho, F&& f)
{
    QHash<QString, QStringList> grupos;
    QStringList donos;
    for (const ChavePrato& p : pratos) {
        auto it = grupos.find(p.dono);
        if (it == grupos.end()) {
            donos << p.dono;
            it = grupos.insert(p.dono, {});
        }
        it->append(p.prato);
    }
    for (const QString& dono : std::as_const(donos)) {
        const QStringList& codigos = grupos[dono];
        for (qsizetype i = 0; i < codigos.size(); i += tamanho)
            f(dono, codigos.mid(i, tamanho));
    }
}

// One prepared statement run with new values.
class Comando {
public:
    Comando(QSqlDatabase& db, const QString& sql) : m_db(db), m_sql(sql), m_postgres(db, sql) {}
    void executa(const QVariantList& valores)
    {
        if (const std::optional<int> linhas = m_postgres.execute(valores)) {
            m_linhas = *linhas;
            return;
        }
        if (!m_query) {
            m_query.emplace(m_db);
            m_query->setForwardOnly(true);
            if (!m_query->prepare(m_sql))
                falha();
        }
        for (int i = 0; i < valores.size(); ++i)
            m_query->bindValue(i, valores[i]);
        if (!m_query->exec())
            falha();
        m_linhas = m_query->numRowsAffected();
    }
    int linhasAfetadas() const { return m_linhas; }

private:
    [[noreturn]] void falha() const
    {
        throw DatabaseFault(m_query->lastError().text());
    }
    QSqlDatabase& m_db;
    QString m_sql;
    PostgresStatement m_postgres;
    std::optional<QSqlQuery> m_query; // the general path, prepared once on first use
    int m_linhas = 0;
};

// The names of a level's key columns.
QStringList nomesChave(const TabelaNivel& t)
{
    QStringList nomes;
    for (const char* chave : t.chaves)
        if (chave)
            nomes << QString::fromLatin1(chave);
    return nomes;
}

} // namespace

size_t qHash(const ChavePrato& key, size_t seed) { return qHashMulti(seed, key.dono, key.prato); }

QHash<ChavePrato, QString> nomesPratos(Call& call, const QList<ChavePrato>& pratos)
{
    QHash<ChavePrato, QString> nomes;
    porDono(pratos, limiteValores(call.db()) - 1, [&](const QString& dono, const QStringList& codigos) {
        QVariantList valores{dono};
        for (const QString& codigo : codigos)
            valores << codigo;
        QSqlQuery query = execute(call.db(),
                                  QStringLiteral("SELECT CDFILAUXPRAT, CDPRATO, NMPRATO FROM PRATO "
                                                 "WHERE CDFILAUXPRAT = ? AND CDPRATO IN (%1)")
                                      .arg(marcas(int(codigos.size()))),
                                  valores);
        while (query.next())
            nomes.insert({query.value(0).toString(), query.value(1).toString()}, query.value(2).toString());
    });
    return nomes;
}

const framework::FieldDefs& ingrediente::campos()
{
    static const framework::FieldDefs defs = fields(
        "CDFILAUXPRAT:T4 CDPRATO:T10 CDPRODUTO:T10 QTPROD:D SGUNIDADE:T10 VRPEFATCOC:D VRPEFATCOCAP:D VRPEFATCOR:D "
        "VRPEFATCORAP:D HRTEMPPRE:T5 QTUNIDDEST:D QTBRUTAPRUNR:D QTBRUTA:D IDPRODBASE:T1 CDAPRERECE:T3 VRPEFATNUT:D "
        "QTCALCNUTR:D IDQTDEFIX:T1 QTLIMSEG:T3 IDTPREQPROD:T1 QTCOMPLPROD:D IDUTCOMPENTDIR:T1 VRPERCDEGELO:D");
    return defs;
}

const framework::FieldDefs& ingrediente::camposNomeados()
{
    static const framework::FieldDefs defs = [] {
        framework::FieldDefs all = campos();
        all += fields("NMPRODUTO:T50 SGUNIDPROD:T10 CDARVPROD:T20 NMAPRERECE:T30");
        return all;
    }();
    return defs;
}

LugarReceita LugarReceita::de(const QString& letra, const QString& filial, const QString& servico,
                              const QString& central, const QString& tipoCard, const QString& lado)
{
    LugarReceita lugar;
    const QString nivel = letra.trimmed().toUpper();
    const auto exige = [&lado](const QString& codigo, const char* texto) {
        if (codigo.isEmpty())
            throw Refusal(QString::fromUtf8(texto).arg(lado));
        return codigo;
    };
    if (nivel == u"P") {
        lugar.m_nivel = Nivel::Padrao;
    } else if (nivel == u"F") {
        lugar.m_nivel = Nivel::Filial;
        lugar.m_filial = exige(framework::Ajusta(filial, 4), "A filial de %1 deve ser informada.");
        lugar.m_valores = {lugar.m_filial};
    } else if (nivel == u"S") {
        lugar.m_nivel = Nivel::Servico;
        lugar.m_filial = exige(framework::Ajusta(filial, 4), "A filial de %1 deve ser informada.");
        lugar.m_servico = exige(framework::Ajusta(servico, 5), "O serviço de %1 deve ser informado.");
        lugar.m_valores = {lugar.m_filial, lugar.m_servico};
    } else if (nivel == u"T") {
        lugar.m_nivel = Nivel::TpCard;
        lugar.m_central = exige(framework::Ajusta(central, 4), "A central de %1 deve ser informada.");
        lugar.m_tipoCard = exige(framework::AjustaTipoCard(tipoCard), "O tipo de cardápio de %1 deve ser informado.");
        lugar.m_valores = {lugar.m_central, lugar.m_tipoCard};
    } else {
        throw Refusal(QStringLiteral("Tipo de receita de %1 inválido: \"%2\".").arg(lado, letra));
    }
    return lugar;
}

const TabelaNivel& LugarReceita::tabela() const { return niveis[int(m_nivel)]; }

QString LugarReceita::letra() const
{
    static const char* const letras[] = {"P", "F", "S", "T"};
    return QString::fromLatin1(letras[int(m_nivel)]);
}

QString LugarReceita::descricao() const
{
    switch (m_nivel) {
    case Nivel::Filial: return QStringLiteral("receita da filial %1").arg(m_filial);
    case Nivel::Servico: return QStringLiteral("receita do serviço %1 da filial %2").arg(m_servico, m_filial);
    case Nivel::TpCard: return QStringLiteral("receita do tipo de cardápio %1 da central %2").arg(m_tipoCard, m_central);
    case Nivel::Padrao: break;
    }
    return QStringLiteral("receita padrão");
}

QString LugarReceita::filialProdutos() const
{
    return m_nivel == Nivel::TpCard ? m_central : m_filial;
}

void LugarReceita::verificaCadastro(Call& call) const
{
    switch (m_nivel) {
    case Nivel::Filial:
        if (!call.value("SELECT 1 FROM FILIAL WHERE CDFILIAL = ?", {m_filial}).isValid())
            throw Refusal(QStringLiteral("Filial %1 não cadastrada.").arg(m_filial));
        break;
    case Nivel::Servico:
        if (!call.value("SELECT 1 FROM SERVICO WHERE CDFILIAL = ? AND CDSERVFILI = ?", {m_filial, m_servico}).isValid())
            throw Refusal(QStringLiteral("Serviço %1 não cadastrado para a filial %2.").arg(m_servico, m_filial));
        break;
    case Nivel::TpCard:
        if (!call.value("SELECT 1 FROM TIPOCARD WHERE CDFILCENTPME = ? AND CDTIPOCARD = ?", {m_central, m_tipoCard})
                 .isValid())
            throw Refusal(QStringLiteral("Tipo de cardápio %1 não cadastrado na central %2.").arg(m_tipoCard, m_central));
        break;
    case Nivel::Padrao: break;
    }
}

QHash<QString, QString> LugarReceita::produtosInativos(Call& call) const
{
    QHash<QString, QString> inativos;
    const QString filial = filialProdutos();
    if (filial.isEmpty())
        return inativos;
    QSqlQuery query = execute(call.db(),
                              "SELECT F.CDPRODUTO, P.NMPRODUTO FROM PRODFILI F JOIN PRODUTO P ON P.CDPRODUTO = F.CDPRODUTO "
                              "WHERE F.CDFILIAL = ? AND F.IDPRODATIV = 'I'",
                              {filial});
    while (query.next())
        inativos.insert(query.value(0).toString(), query.value(1).toString());
    return inativos;
}

QString LugarReceita::tabelaIngredientes() const { return QString::fromLatin1(tabela().ingredientes); }
QString LugarReceita::tabelaDados() const { return QString::fromLatin1(tabela().dados); }
QString LugarReceita::colunaQuantidadePessoa() const { return QString::fromLatin1(tabela().quantidadePessoa); }

QString LugarReceita::condicaoChave(const QString& alias) const
{
    QString sql;
    for (const QString& chave : nomesChave(tabela()))
        sql += (alias.isEmpty() ? QString() : alias + u'.') + chave + QStringLiteral(" = ? AND ");
    return sql;
}

QString LugarReceita::colunasIngredientes(const QString& alias) const
{
    QStringList colunas;
    for (const char* coluna : tabela().colunas)
        colunas << (coluna ? alias + u'.' + QString::fromLatin1(coluna) : QStringLiteral("NULL"));
    return colunas.join(QStringLiteral(", "));
}

framework::DataPacket LugarReceita::ingredientes(Call& call, const QList<ChavePrato>& pratos) const
{
    const QString inicio = QStringLiteral("SELECT %1 FROM %2 R WHERE %3R.CDFILAUXPRAT = ? AND R.CDPRATO IN (")
                               .arg(colunasIngredientes(QStringLiteral("R")), tabelaIngredientes(), condicaoChave("R"));
    framework::DataPacket todos(ingrediente::campos());
    porDono(pratos, limiteValores(call.db()) - int(m_valores.size()) - 1, [&](const QString& dono, const QStringList& codigos) {
        QVariantList valores = m_valores;
        valores << dono;
        for (const QString& codigo : codigos)
            valores << codigo;
        const framework::DataPacket parte =
            call.select(inicio + marcas(int(codigos.size())) + QStringLiteral(") ORDER BY R.CDPRATO, R.CDPRODUTO"),
                        valores, ingrediente::campos());
        if (todos.rowCount() == 0) {
            todos = parte;
            return;
        }
        for (int linha = 0; linha < parte.rowCount(); ++linha)
            todos.rows.copyRow(todos.rows.appendRow(), parte.rows, linha);
    });
    return todos;
}

framework::DataPacket LugarReceita::receita(Call& call, const ChavePrato& prato) const
{
    const QString sql =
        QStringLiteral("SELECT %1, P.NMPRODUTO, P.SGUNIDADE, P.CDARVPROD, A.NMAPRERECE FROM %2 R "
                       "JOIN PRODUTO P ON P.CDPRODUTO = R.CDPRODUTO LEFT JOIN APRERECE A ON A.CDAPRERECE = R.CDAPRERECE "
                       "WHERE %3R.CDFILAUXPRAT = ? AND R.CDPRATO = ? ORDER BY P.CDARVPROD, R.CDPRODUTO")
            .arg(colunasIngredientes(QStringLiteral("R")), tabelaIngredientes(), condicaoChave(QStringLiteral("R")));
    QVariantList valores = m_valores;
    valores << prato.dono << prato.prato;
    return call.select(sql, valores, ingrediente::camposNomeados());
}

framework::DataPacket LugarReceita::produtosInativosEm(Call& call, const ChavePrato& prato, const QString& filial) const
{
    static const auto defs = fields("CDPRODUTO:T10 CDARVPROD:T20 NMPRODUTO:T50");
    const QString sql = QStringLiteral("SELECT R.CDPRODUTO, P.CDARVPROD, P.NMPRODUTO FROM %1 R "
                                       "JOIN PRODUTO P ON P.CDPRODUTO = R.CDPRODUTO "
                                       "JOIN PRODFILI F ON F.CDPRODUTO = R.CDPRODUTO AND F.CDFILIAL = ? AND F.IDPRODATIV = 'I' "
                                       "WHERE %2R.CDFILAUXPRAT = ? AND R.CDPRATO = ? ORDER BY P.CDARVPROD, R.CDPRODUTO")
                            .arg(tabelaIngredientes(), condicaoChave(QStringLiteral("R")));
    QVariantList valores{filial};
    valores += m_valores;
    valores << prato.dono << prato.prato;
    return call.select(sql, valores, defs);
}

QList<LugarReceita::ProdutoPrato> LugarReceita::produtos(Call& call, const QList<ChavePrato>& pratos) const
{
    const QString inicio = QStringLiteral("SELECT R.CDFILAUXPRAT, R.CDPRATO, R.CDPRODUTO FROM %1 R "
                                          "WHERE %2R.CDFILAUXPRAT = ? AND R.CDPRATO IN (")
                               .arg(tabelaIngredientes(), condicaoChave("R"));
    QList<ProdutoPrato> produtos;
    porDono(pratos, limiteValores(call.db()) - int(m_valores.size()) - 1, [&](const QString& dono, const QStringList& codigos) {
        QVariantList valores = m_valores;
        valores << dono;
        for (const QString& codigo : codigos)
            valores << codigo;
        QSqlQuery query =
            execute(call.db(), inicio + marcas(int(codigos.size())) + QStringLiteral(") ORDER BY R.CDPRATO, R.CDPRODUTO"),
                    valores);
        while (query.next())
            produtos.append({{query.value(0).toString(), query.value(1).toString()}, query.value(2).toString()});
    });
    return produtos;
}

void LugarReceita::apagaIngredientes(Call& call, const QList<ChavePrato>& pratos) const
{
    const QString inicio = QStringLiteral("DELETE FROM %1 WHERE %2CDFILAUXPRAT = ? AND CDPRATO IN (")
                               .arg(tabelaIngredientes(), condicaoChave({}));
    porDono(pratos, limiteValores(call.db()) - int(m_valores.size()) - 1, [&](const QString& dono, const QStringList& codigos) {
        QVariantList valores = m_valores;
        valores << dono;
        for (const QString& codigo : codigos)
            valores << codigo;
        execute(call.db(), inicio + marcas(int(codigos.size())) + u')', valores);
    });
}

void LugarReceita::copiaIngredientes(Call& call, const LugarReceita& origem, const QList<ChavePrato>& pratos,
                                     bool somenteNovos) const
{
    QStringList destino = nomesChave(tabela()), fonte;
    QVariantList chaves; // the destination's keys, selected as values
    for (const QVariant& valor : m_valores) {
        fonte << QStringLiteral("CAST(? AS VARCHAR(10))");
        chaves << valor;
    }
    for (int papel = 0; papel < ingrediente::Colunas; ++papel) {
        const char* aqui = tabela().colunas[size_t(papel)];
        const char* la = origem.tabela().colunas[size_t(papel)];
        if (aqui && la) {
            destino << QString::fromLatin1(aqui);
            fonte << QStringLiteral("R.") + QString::fromLatin1(la);
        }
    }
    QString sql = QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4 R WHERE %5R.CDFILAUXPRAT = ? AND R.CDPRATO IN (%6)")
                      .arg(tabelaIngredientes(), destino.join(QStringLiteral(", ")), fonte.join(QStringLiteral(", ")),
                           origem.tabelaIngredientes(), origem.condicaoChave(QStringLiteral("R")));
    QVariantList depois; // values of the conditions after the codes
    if (!filialProdutos().isEmpty()) {
        sql += QStringLiteral(" AND NOT EXISTS (SELECT 1 FROM PRODFILI F WHERE F.CDFILIAL = ? "
                              "AND F.CDPRODUTO = R.CDPRODUTO AND F.IDPRODATIV = 'I')");
        depois << filialProdutos();
    }
    if (somenteNovos) {
        sql += QStringLiteral(" AND NOT EXISTS (SELECT 1 FROM %1 D WHERE %2D.CDFILAUXPRAT = R.CDFILAUXPRAT "
                              "AND D.CDPRATO = R.CDPRATO AND D.CDPRODUTO = R.CDPRODUTO)")
                   .arg(tabelaIngredientes(), condicaoChave(QStringLiteral("D")));
        depois += m_valores;
    }
    const int fixos = int(chaves.size() + origem.m_valores.size() + depois.size()) + 1;
    porDono(pratos, limiteValores(call.db()) - fixos, [&](const QString& dono, const QStringList& codigos) {
        QVariantList valores = chaves;
        valores += origem.m_valores;
        valores << dono;
        for (const QString& codigo : codigos)
            valores << codigo;
        valores += depois;
        execute(call.db(), sql.arg(marcas(int(codigos.size()))), valores);
    });
}

void LugarReceita::gravaIngredientes(Call& call, const framework::RowStore& linhas, const QVector<int>& quais) const
{
    insere(call, linhas, quais, QVector<const LugarReceita*>(quais.size(), this), false);
}

void LugarReceita::substituiIngredientes(Call& call, const ChavePrato& prato, const framework::RowStore& linhas,
                                         const QVector<int>& quais, const QVector<const LugarReceita*>& lugares)
{
    if (quais.isEmpty())
        return;
    const LugarReceita& primeiro = *lugares.first();
    const QStringList chaves = nomesChave(primeiro.tabela());
    // The products each place keeps; places that share every key but the last and keep the same
    // products lose the others in one statement (the last key, a service, in a list).
    QHash<const LugarReceita*, QStringList> produtos;
    QList<const LugarReceita*> ordem;
    for (qsizetype i = 0; i < quais.size(); ++i) {
        auto it = produtos.find(lugares[i]);
        if (it == produtos.end()) {
            ordem << lugares[i];
            it = produtos.insert(lugares[i], {});
        }
        it->append(linhas.text(quais[i], ingrediente::Produto));
    }
    struct Grupo {
        QVariantList prefixo, ultimos;
        QStringList produtos;
    };
    QList<Grupo> grupos;
    QHash<QString, qsizetype> indice;
    for (const LugarReceita* lugar : std::as_const(ordem)) {
        QStringList mantidos = produtos.value(lugar);
        mantidos.sort();
        const QVariantList prefixo = lugar->m_valores.mid(0, std::max<qsizetype>(0, lugar->m_valores.size() - 1));
        QString chave = mantidos.join(u'|') + u'#';
        for (const QVariant& v : prefixo)
            chave += v.toString() + u'|';
        auto it = indice.find(chave);
        if (it == indice.end()) {
            it = indice.insert(chave, grupos.size());
            grupos.append({prefixo, {}, mantidos});
        }
        if (!lugar->m_valores.isEmpty())
            grupos[*it].ultimos << lugar->m_valores.last();
    }
    QString condicao;
    for (qsizetype i = 0; i + 1 < chaves.size(); ++i)
        condicao += chaves[i] + QStringLiteral(" = ? AND ");
    for (const Grupo& grupo : std::as_const(grupos)) {
        const int fixos = int(grupo.prefixo.size() + grupo.produtos.size()) + 2;
        const qsizetype porComando = std::max(1, limiteValores(call.db()) - fixos);
        // The standard level has no key to list: its one place.
        const QVariantList ultimos = chaves.isEmpty() ? QVariantList{QVariant()} : grupo.ultimos;
        for (qsizetype inicio = 0; inicio < ultimos.size(); inicio += porComando) {
            const QVariantList parte = ultimos.mid(inicio, porComando);
            QVariantList valores = grupo.prefixo;
            valores << prato.dono << prato.prato;
            QString lista;
            if (!chaves.isEmpty()) {
                lista = QStringLiteral(" AND %1 IN (%2)").arg(chaves.last(), marcas(int(parte.size())));
                valores += parte;
            }
            for (const QString& produto : grupo.produtos)
                valores << produto;
            execute(call.db(),
                    QStringLiteral("DELETE FROM %1 WHERE %2CDFILAUXPRAT = ? AND CDPRATO = ?%3 AND CDPRODUTO NOT IN (%4)")
                        .arg(primeiro.tabelaIngredientes(), condicao, lista, marcas(int(grupo.produtos.size()))),
                    valores);
        }
    }
    insere(call, linhas, quais, lugares, true);
}

void LugarReceita::insere(Call& call, const framework::RowStore& linhas, const QVector<int>& quais,
                          const QVector<const LugarReceita*>& lugares, bool substitui)
{
    if (quais.isEmpty())
        return;
    if (lugares.size() != quais.size())
        throw framework::Error(QStringLiteral("Cada linha de receita gravada precisa do seu lugar."));
    const LugarReceita& primeiro = *lugares.first();
    const TabelaNivel& tabelaNivel = primeiro.tabela();
    for (const LugarReceita* lugar : lugares)
        if (lugar->m_nivel != primeiro.m_nivel)
            throw framework::Error(QStringLiteral("Receitas de níveis diferentes gravadas juntas."));
    QStringList nomes = nomesChave(tabelaNivel);
    QVector<int> papeis; // the packet's columns this level stores, in the order of nomes after the keys
    for (int papel = 0; papel < ingrediente::Colunas; ++papel)
        if (const char* coluna = tabelaNivel.colunas[size_t(papel)]) {
            nomes << QString::fromLatin1(coluna);
            papeis << papel;
        }
    const int porLinha = int(nomes.size());
    const int linhasPorComando = std::max(1, valoresPorInsercao(call.db()) / porLinha);
    const QString inicio = QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(primeiro.tabelaIngredientes(), nomes.join(QStringLiteral(", ")));
    QString fim;
    if (substitui) {
        // A product the place has already: its row takes the new values (no key changes).
        QStringList chave = nomesChave(tabelaNivel), novos;
        chave << QStringLiteral("CDFILAUXPRAT") << QStringLiteral("CDPRATO") << QStringLiteral("CDPRODUTO");
        for (const QString& nome : std::as_const(nomes))
            if (!chave.contains(nome))
                novos << nome + QStringLiteral(" = excluded.") + nome;
        fim = QStringLiteral(" ON CONFLICT (%1) DO UPDATE SET %2")
                  .arg(chave.join(QStringLiteral(", ")), novos.join(QStringLiteral(", ")));
    }
    const QString linha = u'(' + marcas(porLinha) + u')';
    const auto comando = [&](int n) {
        QStringList tuplas;
        for (int i = 0; i < n; ++i)
            tuplas << linha;
        return std::make_unique<Comando>(call.db(), inicio + tuplas.join(QStringLiteral(", ")) + fim);
    };

    std::unique_ptr<Comando> cheio; // prepared once for the full runs
    QVariantList valores;
    for (qsizetype inicioLote = 0; inicioLote < quais.size(); inicioLote += linhasPorComando) {
        const int n = int(std::min<qsizetype>(linhasPorComando, quais.size() - inicioLote));
        valores.clear();
        valores.reserve(n * porLinha);
        for (int i = 0; i < n; ++i) {
            const int r = quais[inicioLote + i];
            valores += lugares[inicioLote + i]->m_valores;
            for (int papel : std::as_const(papeis))
                valores << linhas.value(r, papel);
        }
        if (n == linhasPorComando) {
            if (!cheio)
                cheio = comando(n);
            cheio->executa(valores);
        } else {
            comando(n)->executa(valores);
        }
    }
}

void LugarReceita::gravaQuantidadePessoa(Call& call, const ChavePrato& prato, double quantidade) const
{
    QVariantList valores{quantidade};
    valores += m_valores;
    valores << prato.dono << prato.prato;
    Comando altera(call.db(), QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3CDFILAUXPRAT = ? AND CDPRATO = ?")
                                  .arg(tabelaDados(), colunaQuantidadePessoa(), condicaoChave({})));
    altera.executa(valores);
    if (altera.linhasAfetadas() > 0)
        return;
    QStringList nomes = nomesChave(tabela());
    nomes << QStringLiteral("CDFILAUXPRAT") << QStringLiteral("CDPRATO") << colunaQuantidadePessoa();
    QVariantList novos = m_valores;
    novos << prato.dono << prato.prato << quantidade;
    execute(call.db(), QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                           .arg(tabelaDados(), nomes.join(QStringLiteral(", ")), marcas(int(nomes.size()))),
            novos);
}

} // namespace appserver
