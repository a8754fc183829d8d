#include "ingredientes.h"

#include "appserver/errors.h"
#include "appserver/resultcolumns.h"
#include "appserver/sqlpacket.h"
#include "framework/core/consiste.h"
#include "niveisreceita.h"
#include "receitas.h"

namespace appserver {

namespace {

const char* const produtoFields = "CDPRODUTO:T10 CDARVPROD:T20 NMPRODUTO:T50 SGUNIDADE:T10 DSCOMPLNOME:T300";

// Products that may go into a recipe: complete codes, active, their own stock product. The
// grouping is a product tree code; its products are those under it, compared by position so
// that '%' or '_' stay characters. An empty grouping (sent as nothing at all by some callers)
// takes every product.
QString produtoSelect(const QString& grouping, QVariantList& values, const QString& levels)
{
    QString sql = "SELECT P.CDPRODUTO, P.CDARVPROD, P.NMPRODUTO, P.SGUNIDADE, P.DSCOMPLNOME FROM PRODUTO P "
                  "WHERE P.CDNVPRODUTO = ? AND P.IDATIVO = 'S' AND P.CDPRODESTO = P.CDPRODUTO";
    values << levels.trimmed();
    const QString group = grouping.trimmed();
    if (!group.isEmpty()) {
        sql += " AND SUBSTR(P.CDARVPROD, 1, ?) = ?";
        values << int(group.size()) << group;
    }
    return sql;
}

// A level's ingredient table and the keys before the dish.
struct Lista {
    receitas::Nivel nivel;
    const char* tabela;
    const char* fixa; // fixed-quantity column
    QStringList chaves;
};

Lista lista(const QString& level)
{
    if (level == u"L" || level == u"F")
        return {receitas::Nivel::Filial, "RECEFILI", "IDQTDEFIXLO", {"CDFILIAL"}};
    if (level == u"S")
        return {receitas::Nivel::Servico, "RECESERV", "IDQTDEFIXSE", {"CDFILIAL", "CDSERVFILI"}};
    if (level == u"P")
        return {receitas::Nivel::Padrao, "PRODPRAT", "IDQTDEFIXPR", {}};
    if (level == u"T")
        return {receitas::Nivel::TpCard, "RECETPCARD", "IDQTDEFIXPRTP", {"CDFILCENTPME", "CDTIPOCARD"}};
    throw Refusal(QStringLiteral("Nível de receita inválido: %1.").arg(level));
}

QString flagValue(const QString& flag)
{
    return flag.trimmed() == u"S" ? QStringLiteral("S") : QStringLiteral("N");
}

} // namespace

QVariant Ingredientes::getPesqProduto(Call& call) const
{
    static const auto defs = fields(produtoFields);
    QVariantList values;
    const QString sql = produtoSelect(call.text(1), values, call.text(0));
    return QVariant::fromValue(call.select(sql + " ORDER BY P.CDARVPROD", values, defs));
}

QVariant Ingredientes::GetProdutoCache(Call& call) const
{
    static const auto defs = fields(produtoFields);
    QVariantList values;
    const QString sql = produtoSelect(call.text(2), values, call.text(0));
    values << framework::Ajusta(call.text(1), 4);
    return QVariant::fromValue(call.select(
        sql + " AND NOT EXISTS (SELECT 1 FROM PRODFILI F WHERE F.CDPRODUTO = P.CDPRODUTO AND F.CDFILIAL = ? "
              "AND F.IDPRODATIV = 'I') ORDER BY P.CDARVPROD",
        values, defs));
}

QVariant Ingredientes::Verif_Status_Prod(Call& call) const
{
    const QString branch = framework::Ajusta(call.text(0), 4);
    const QVariant inactive = call.value(
        "SELECT COUNT(*) FROM PRODUTO P LEFT JOIN PRODFILI F ON F.CDPRODUTO = P.CDPRODUTO AND F.CDFILIAL = ? "
        "WHERE P.CDARVPROD = ? AND (P.IDATIVO <> 'S' OR F.IDPRODATIV = 'I')",
        {branch, call.text(2).trimmed()});
    return inactive.toInt() > 0 ? QStringLiteral("PROD_INATIVO") : QString("");
}

QVariant Ingredientes::GetVerifProd(Call& call) const
{
    const QVariant stock = call.value("SELECT IDCNTRESTOQ FROM PRODUTO WHERE CDPRODUTO = ?", {call.text(1).trimmed()});
    return stock.isValid() && stock.toString() == u"N";
}

QVariant Ingredientes::GetValorProduto(Call& call) const
{
    const QVariant loss = call.value("SELECT VRPEFATOCORR FROM PRODUTO WHERE CDPRODUTO = ?", {call.text(0).trimmed()});
    if (!loss.isValid() || loss.isNull())
        return QStringLiteral("0");
    // As the client reads numbers: a decimal comma.
    return QString::number(loss.toDouble(), 'g', 15).replace(QLatin1Char('.'), QLatin1Char(','));
}

QVariant Ingredientes::Verif_Prod_Inativo(Call& call) const
{
    static const auto defs = fields("TAB:T2 CDARVPROD:T20 IDPRODATIVPR:T1 IDPRODATIV:T1");
    // The recipe kind is named by its code in its own slot (the others hold "x"); the statement
    // and the kind it answers come from this table, never from the text sent.
    struct Tipo {
        int slot;
        const char* codigo;
        const char* tabela;
        const char* chaves;
    };
    static const Tipo tipos[] = {
        {5, "RP", "PRODPRAT", ""},
        {6, "RL", "RECEFILI", " AND R.CDFILIAL = ?"},
        {7, "RS", "RECESERV", " AND R.CDFILIAL = ? AND R.CDSERVFILI = ?"},
        {8, "RT", "RECETPCARD", " AND R.CDFILCENTPME = ? AND R.CDTIPOCARD = ?"},
    };
    const QString branch = framework::Ajusta(call.text(0), 4);
    const Tipo* tipo = nullptr;
    for (const Tipo& t : tipos)
        if (call.text(t.slot).trimmed() == QLatin1String(t.codigo)) {
            tipo = &t;
            break;
        }
    if (!tipo)
        throw Refusal(QStringLiteral("Tipo de receita não informado."));

    QVariantList values{branch};
    if (tipo->slot == 6)
        values << branch;
    else if (tipo->slot == 7)
        values << branch << framework::Ajusta(call.text(4), 5);
    else if (tipo->slot == 8)
        values << framework::Ajusta(call.text(9), 4) << framework::AjustaTipoCard(call.text(10));
    values << call.text(3) << call.text(2);
    return QVariant::fromValue(call.select(
        QStringLiteral("SELECT '%1', P.CDARVPROD, P.IDATIVO, COALESCE(F.IDPRODATIV, 'A') FROM %2 R "
                       "JOIN PRODUTO P ON P.CDPRODUTO = R.CDPRODUTO "
                       "LEFT JOIN PRODFILI F ON F.CDPRODUTO = R.CDPRODUTO AND F.CDFILIAL = ? "
                       "WHERE 1 = 1%3 AND R.CDFILAUXPRAT = ? AND R.CDPRATO = ? ORDER BY P.CDARVPROD")
            .arg(QLatin1String(tipo->codigo), QLatin1String(tipo->tabela), QLatin1String(tipo->chaves)),
        values, defs));
}

QVariant Ingredientes::VerificaProdProd(Call& call) const
{
    static const auto defs = fields("TIPO:T1 RECEITA:T60");
    const QString product = call.text(0).trimmed();
    if (product.isEmpty())
        return QVariant::fromValue(call.select("SELECT 'P', CDPRATO FROM PRATO WHERE 1 = 0", {}, defs));
    const QString owner = call.text(1);
    const QString dish = call.text(2);
    const QString level = call.text(3).trimmed();
    // Other dishes producing the product, and at a branch or service level also the other dishes
    // whose branch or service data names it.
    // The standard level names it in the dish record and in the standard dish data.
    QString sql = "SELECT 'P', CDFILAUXPRAT || ' ' || CDPRATO || ' ' || NMPRATO FROM PRATO "
                  "WHERE CDPRODPRODUCAO = ? AND NOT (CDFILAUXPRAT = ? AND CDPRATO = ?) "
                  "UNION SELECT 'P', P.CDFILAUXPRAT || ' ' || P.CDPRATO || ' ' || P.NMPRATO FROM DADOSPRAT D "
                  "JOIN PRATO P ON P.CDFILAUXPRAT = D.CDFILAUXPRAT AND P.CDPRATO = D.CDPRATO "
                  "WHERE D.CDPRODPRODUCAO = ? AND NOT (D.CDFILAUXPRAT = ? AND D.CDPRATO = ?)";
    QVariantList values{product, owner, dish, product, owner, dish};
    const QString branch = framework::Ajusta(call.text(4), 4);
    if (level == u"F" || level == u"L") {
        sql += " UNION SELECT 'F', CDFILIAL || ' ' || CDFILAUXPRAT || ' ' || CDPRATO FROM PRATFILI "
               "WHERE CDPRODPRODUCAO = ? AND CDFILIAL = ? AND NOT (CDFILAUXPRAT = ? AND CDPRATO = ?)";
        values << product << branch << owner << dish;
    } else if (level == u"S") {
        sql += " UNION SELECT 'S', CDFILIAL || ' ' || CDSERVFILI || ' ' || CDFILAUXPRAT || ' ' || CDPRATO "
               "FROM PRATSERV WHERE CDPRODPRODUCAO = ? AND CDFILIAL = ? AND CDSERVFILI = ? "
               "AND NOT (CDFILAUXPRAT = ? AND CDPRATO = ?)";
        values << product << branch << framework::Ajusta(call.text(5), 5) << owner << dish;
    }
    return QVariant::fromValue(call.select(sql + " ORDER BY 2", values, defs));
}

QVariant Ingredientes::Verif_DelReceita(Call& call) const
{
    const QString level = call.text(3).trimmed();
    if (level == u"L" || level == u"S") {
        // A dish on one of the branch's menus is planned from its revised recipe: it keeps one.
        const QVariant planned = call.value("SELECT COUNT(*) FROM CARDPRATO WHERE CDFILIAL = ? AND CDFILAUXPRAT = ? "
                                            "AND CDPRATO = ?",
                                            {framework::Ajusta(call.text(0), 4), call.text(1), call.text(2)});
        return planned.toInt() > 0 ? QStringLiteral("Prato_RecRevisada") : QString("");
    }
    if (level != u"P")
        return QString("");
    // An active dish of the standard tree is planned from its standard recipe: it keeps one.
    const QVariant active =
        call.value("SELECT IDATIVO FROM PRATO WHERE CDFILAUXPRAT = ? AND CDPRATO = ?", {call.text(1), call.text(2)});
    return active.isValid() && active.toString() != u"N" ? QStringLiteral("Prato_RecPadrao") : QString("");
}

QVariant Ingredientes::ProUpProdBasePR(Call& call) const
{
    const QString flag = flagValue(call.text(2));
    call.setArg(2, flag);
    const QString branch = call.code(3, 4);
    execute(call.db(), "UPDATE PRODPRAT SET IDPRODBASEPR = ? WHERE CDFILAUXPRAT = ? AND CDPRATO = ?",
            {flag, call.text(0), call.text(1)});
    return receitas::carrega(call, receitas::Nivel::Padrao, call.text(4), branch, {}).value(0);
}

QVariant Ingredientes::ProUpdQtdeFix(Call& call) const
{
    const Lista l = lista(call.text(0).trimmed());
    const QString flag = flagValue(call.text(5));
    call.setArg(5, flag);
    const QString working = call.code(6, 4);
    QVariantList scope;
    QString where = " WHERE CDFILAUXPRAT = ? AND CDPRATO = ?";
    QVariantList values{flag, call.text(1), call.text(2)};
    if (l.nivel == receitas::Nivel::TpCard)
        scope << framework::Ajusta(call.text(3), 4) << framework::AjustaTipoCard(call.text(4));
    else if (!l.chaves.isEmpty())
        scope << framework::Ajusta(call.text(3), 4);
    if (l.nivel == receitas::Nivel::Servico)
        scope << framework::Ajusta(call.text(4), 5);
    for (const QString& key : l.chaves)
        where += QStringLiteral(" AND %1 = ?").arg(key);
    values += scope;
    execute(call.db(), QStringLiteral("UPDATE %1 SET %2 = ?").arg(QLatin1String(l.tabela), QLatin1String(l.fixa)) + where,
            values);
    return receitas::carrega(call, l.nivel, call.text(7), working, scope).value(0);
}

void Ingredientes::UpdUpQtdePadr(Call& call) const { receitas::atualiza(call, receitas::Nivel::Padrao, call.packet(0)); }

void Ingredientes::UpdUpQtdeLo(Call& call) const { receitas::atualiza(call, receitas::Nivel::Filial, call.packet(0)); }

void Ingredientes::UpdUpQtdeServ(Call& call) const { receitas::atualiza(call, receitas::Nivel::Servico, call.packet(0)); }

} // namespace appserver

#include "rdmreceitapadrao.h"

namespace appserver {

void RdmReceitaPadrao::registraIngredientes()
{
    query<RdmReceitaPadrao>("getPesqProduto", &Ingredientes::getPesqProduto);
    query<RdmReceitaPadrao>("GetProdutoCache", &Ingredientes::GetProdutoCache);
    query<RdmReceitaPadrao>("Verif_Status_Prod", &Ingredientes::Verif_Status_Prod);
    query<RdmReceitaPadrao>("GetVerifProd", &Ingredientes::GetVerifProd);
    query<RdmReceitaPadrao>("GetValorProduto", &Ingredientes::GetValorProduto);
    query<RdmReceitaPadrao>("Verif_Prod_Inativo", &Ingredientes::Verif_Prod_Inativo);
    query<RdmReceitaPadrao>("VerificaProdProd", &Ingredientes::VerificaProdProd);
    query<RdmReceitaPadrao>("Verif_DelReceita", &Ingredientes::Verif_DelReceita);
    query<RdmReceitaPadrao>("ProUpProdBasePR", &Ingredientes::ProUpProdBasePR);
    query<RdmReceitaPadrao>("ProUpdQtdeFix", &Ingredientes::ProUpdQtdeFix);
    update<RdmReceitaPadrao>("UpdUpQtdePadr", &Ingredientes::UpdUpQtdePadr);
    update<RdmReceitaPadrao>("UpdUpQtdeLo", &Ingredientes::UpdUpQtdeLo);
    update<RdmReceitaPadrao>("UpdUpQtdeServ", &Ingredientes::UpdUpQtdeServ);
}

} // namespace appserver
