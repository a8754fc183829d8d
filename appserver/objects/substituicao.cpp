#include "substituicao.h"

#include "appserver/errors.h"
#include "appserver/resultcolumns.h"
#include "appserver/sqlpacket.h"
#include "framework/core/consiste.h"
#include "framework/core/dbpicture.h"
#include "receitas.h"

#include <QSqlQuery>

namespace appserver {

namespace {

// The columns of a level's list the swap rewrites.
struct Lista {
    receitas::Nivel nivel;
    const char* tabela;
    QStringList chaves; // level keys before the dish key
    const char *liquida, *estoque, *bruta, *requisicao, *cocao, *perda, *aproveitamento, *nutricional,
        *qtNutriente;
};

const Lista filial{receitas::Nivel::Filial, "RECEFILI", {"CDFILIAL"}, "QTPRODRECLOC", "QTUNIDESTLO",
                   "QTBRUTALOUNR", "QTBRUTALO", "VRPEFATCOCLO", "VRPEFATCORLO", "VRPEFATCORLOAP", "VRPEFATNUTLO",
                   "QTCALCNUTRLO"};
const Lista servico{receitas::Nivel::Servico, "RECESERV", {"CDFILIAL", "CDSERVFILI"}, "QTPRODRECSER", "QTUNIDESTSE",
                    "QTBRUTASEUNR", "QTBRUTASE", "VRPEFATCOCSE", "VRPEFATCORSE", "VRPEFATCORSEAP", "VRPEFATNUTSE",
                    "QTCALCNUTRSE"};
const Lista tpCard{receitas::Nivel::TpCard, "RECETPCARD", {"CDFILCENTPME", "CDTIPOCARD"}, "QTPRODPRATTP",
                   "QTUNIDESTPRTP", "QTBRUTAPRUNRTP", "QTBRUTAPRTP", "VRPEFATCOCPRTP", "VRPEFATCORPRTP",
                   "VRPEFATCORPRTPAP", "VRPEFATNUTPRTP", "QTCALCNUTRPRTP"};

double round5(double v) { return framework::RoundDec(v, 5); }

// A quantity of a product from one unit into another: the general conversions (either way), then
// the product's own (how many of its stock unit one unit holds). Nothing when none exists.
std::optional<double> converte(Call& call, const QString& produto, const QString& de, const QString& para,
                               double quantidade)
{
    if (de == para)
        return quantidade;
    QSqlQuery q = execute(call.db(),
                          "SELECT VRFTCONVER, IDTIPOPE, 0 FROM CONVUNID WHERE SGUNIDDE = ? AND SGUNIDPARA = ? "
                          "UNION ALL SELECT VRFTCONVER, IDTIPOPE, 1 FROM CONVUNID WHERE SGUNIDDE = ? AND SGUNIDPARA = ? "
                          "ORDER BY 3",
                          {de, para, para, de});
    if (q.next()) {
        const double factor = q.value(0).toDouble();
        const bool multiplies = (q.value(1).toString() == u"*") != (q.value(2).toInt() == 1);
        if (multiplies)
            return quantidade * factor;
        if (round5(factor) != 0)
            return quantidade / factor;
    }
    // The product's own: from a unit into its stock unit, or back.
    q = execute(call.db(),
                "SELECT C.VRFATOCONVES, 0 FROM CONVPRODUTO C JOIN PRODUTO P ON P.CDPRODUTO = C.CDPRODUTO "
                "WHERE C.CDPRODUTO = ? AND C.SGUNIDADE = ? AND P.SGUNIDADE = ? "
                "UNION ALL SELECT C.VRFATOCONVES, 1 FROM CONVPRODUTO C JOIN PRODUTO P ON P.CDPRODUTO = C.CDPRODUTO "
                "WHERE C.CDPRODUTO = ? AND C.SGUNIDADE = ? AND P.SGUNIDADE = ? ORDER BY 2",
                {produto, de, para, produto, para, de});
    if (q.next()) {
        const double factor = q.value(0).toDouble();
        if (q.value(1).toInt() == 0)
            return quantidade * factor;
        if (round5(factor) != 0)
            return quantidade / factor;
    }
    return std::nullopt;
}

QString texto(const QVariant& v) { return v.isNull() ? QString() : v.toString().trimmed(); }

} // namespace

QVariant Substituicao::PesqProdOpc(Call& call) const
{
    static const auto defs =
        fields("CDARVPROD:T20 NMPRODUTO:T50 SGUNIDADE:T10 CDPRODUTO:T10 CDPRODESTO:T10 VRPEFATOCORR:D");
    return QVariant::fromValue(call.select(
        "SELECT O.CDARVPROD, O.NMPRODUTO, O.SGUNIDADE, O.CDPRODUTO, O.CDPRODESTO, O.VRPEFATOCORR FROM PRODUTO P "
        "JOIN PRODOPC X ON X.CDPRODUTO = P.CDPRODUTO JOIN PRODUTO O ON O.CDPRODUTO = X.CDPRODOPC "
        "WHERE P.CDARVPROD = ? AND O.CDNVPRODUTO = ? AND O.IDATIVO = 'S' ORDER BY O.CDARVPROD",
        {call.text(0).trimmed(), call.text(1).trimmed()}, defs));
}

QVariant Substituicao::TrocaProduto(Call& call) const
{
    const bool menuType = call.text(8).trimmed() == u"S";
    const QString service = call.text(3).trimmed();
    const Lista& l = menuType ? tpCard : service.isEmpty() ? filial : servico;
    const QString dish = call.text(0).trimmed();
    const QString group = call.text(1).trimmed();
    const QString branch = framework::Ajusta(call.text(2), 4);
    QVariantList scope;
    if (menuType)
        scope << framework::Ajusta(call.text(9), 4) << framework::AjustaTipoCard(call.text(10));
    else
        scope << branch;
    if (l.nivel == receitas::Nivel::Servico)
        scope << framework::Ajusta(service, 5);
    if (dish.isEmpty() || !dish.startsWith(group))
        throw Refusal(QStringLiteral("O prato %1 não pertence ao grupo %2.").arg(dish, group));
    const QString oldProduct = call.text(4).trimmed();
    const QString newProduct = call.text(5).trimmed();
    const QString newUnit = call.text(6).trimmed();
    const double loss = framework::RoundDec(call.number(7), 2);

    // Only a standard dish's ingredient is swapped, in the revised recipe that holds it.
    const auto filtro = [&l](const QString& alias) {
        QString sql = QStringLiteral(" WHERE %1CDFILAUXPRAT = 'P' AND %1CDPRATO = ?").arg(alias);
        for (const QString& key : l.chaves)
            sql += QStringLiteral(" AND %1%2 = ?").arg(alias, key);
        return sql;
    };
    const QString where = filtro({});
    const QVariantList keys = QVariantList{dish} + scope;
    const QString table = QLatin1String(l.tabela);
    QSqlQuery row = execute(call.db(),
                            QStringLiteral("SELECT R.SGUNIDADE, P.SGUNIDADE, R.%1, R.%2, R.VRPERCDEGELO, R.%3 FROM %4 R "
                                           "JOIN PRODUTO P ON P.CDPRODUTO = R.CDPRODUTO")
                                    .arg(QLatin1String(l.liquida), QLatin1String(l.cocao), QLatin1String(l.nutricional),
                                         table)
                                + filtro(QStringLiteral("R."))
                                + QStringLiteral(" AND R.CDPRODUTO = ?"),
                            keys + QVariantList{oldProduct});
    if (!row.next())
        throw Refusal(QStringLiteral("O produto %1 não está na receita do prato %2 neste nível.").arg(oldProduct, dish));

    // The new product: an active, stocked optional product of the old one, offered in its own
    // unit and registered loss, that the recipe does not hold yet.
    QSqlQuery product = execute(call.db(),
                                "SELECT O.SGUNIDADE, O.VRPEFATOCORR, O.IDATIVO, O.IDCNTRESTOQ, O.CDPRODESTO "
                                "FROM PRODOPC X JOIN PRODUTO O ON O.CDPRODUTO = X.CDPRODOPC "
                                "WHERE X.CDPRODUTO = ? AND X.CDPRODOPC = ?",
                                {oldProduct, newProduct});
    if (!product.next())
        throw Refusal(QStringLiteral("O produto %1 não é opcional do produto %2.").arg(newProduct, oldProduct));
    if (texto(product.value(2)) != u"S")
        throw Refusal(QStringLiteral("Receita não pode conter produto inativo."));
    if (texto(product.value(3)) == u"N" || texto(product.value(4)) != newProduct)
        throw Refusal(QStringLiteral("Inclusão bloqueada. Produto não utiliza controle de estoque."));
    const QString stockUnit = texto(product.value(0));
    if (newUnit != stockUnit)
        throw Refusal(QStringLiteral("A unidade %1 não é a unidade do produto %2.").arg(newUnit, newProduct));
    if (framework::RoundDec(product.value(1).toDouble(), 2) != loss)
        throw Refusal(QStringLiteral("O fator de correção enviado não é o do cadastro do produto %1.").arg(newProduct));
    const QString activeBranch = menuType ? scope[0].toString() : branch;
    if (call.value("SELECT COUNT(*) FROM PRODFILI WHERE CDFILIAL = ? AND CDPRODUTO = ? AND IDPRODATIV = 'I'",
                   {activeBranch, newProduct})
            .toInt()
        > 0)
        throw Refusal(QStringLiteral("Receita não pode conter produto inativo."));
    if (call.value(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table) + where + QStringLiteral(" AND CDPRODUTO = ?"),
                   keys + QVariantList{newProduct})
            .toInt()
        > 0)
        throw Refusal(QStringLiteral("O produto %1 já está na receita do prato %2.").arg(newProduct, dish));

    // The net quantity in the new unit where a conversion exists; without one the planner's
    // number stays and is read in the new unit.
    const QString rowUnit = texto(row.value(0)).isEmpty() ? texto(row.value(1)) : texto(row.value(0));
    const double net = row.value(2).toDouble();
    const double liquida = round5(converte(call, newProduct, rowUnit, newUnit, net).value_or(net));
    const double cocao = row.value(3).toDouble();
    const double degelo = row.value(4).toDouble();
    const double bruta = liquida / (cocao / 100 + 1) / (1 - loss / 100) / (1 - degelo / 100);
    const double requisicao = round5(bruta);
    const QVariant nutricional = row.value(5);
    const double base = round5((1 - loss / 100) * ((1 - degelo / 100) * requisicao));
    const QVariant qtNutriente = nutricional.isNull() ? QVariant() : QVariant(base * nutricional.toDouble() / 100);

    execute(call.db(),
            QStringLiteral("UPDATE %1 SET CDPRODUTO = ?, SGUNIDADE = ?, %2 = ?, %3 = ?, %4 = ?, %5 = ?, %6 = ?, %7 = ?, "
                           "%8 = ?")
                    .arg(table, QLatin1String(l.liquida), QLatin1String(l.estoque), QLatin1String(l.bruta),
                         QLatin1String(l.requisicao), QLatin1String(l.perda), QLatin1String(l.aproveitamento),
                         QLatin1String(l.qtNutriente))
                + where + QStringLiteral(" AND CDPRODUTO = ?"),
            QVariantList{newProduct, newUnit, liquida, requisicao, round5(bruta), requisicao, loss,
                         framework::RoundDec(100 - loss, 2), qtNutriente}
                + keys + QVariantList{oldProduct});
    return receitas::carrega(call, l.nivel, group, branch, scope).value(0);
}

QVariant Substituicao::GetProdProd(Call& call) const
{
    static const auto defs = fields("CDPRODUTO:T10 CDARVPROD:T20 NMPRODUTO:T50");
    const QString code = call.text(0).trimmed();
    const QString all = call.text(1).trimmed() == u"T" ? QStringLiteral("T") : QString("");
    const QString owner = call.text(2).trimmed();
    const QString dish = call.text(3).trimmed();
    for (const auto& [index, value] : {std::pair{0, code}, {1, all}, {2, owner}, {3, dish}})
        call.setArg(index, value);
    const framework::TDBPicture picture(call.value("SELECT CDPICTPROD FROM PARAMGERAL ORDER BY CDPARGERAL").toString());
    QString sql = "SELECT P.CDPRODUTO, P.CDARVPROD, P.NMPRODUTO FROM PRODUTO P WHERE P.CDNVPRODUTO = ? "
                  "AND P.IDATIVO = 'S' AND NOT EXISTS (SELECT 1 FROM PRATO D WHERE D.CDPRODPRODUCAO = P.CDPRODUTO "
                  "AND NOT (D.CDFILAUXPRAT = ? AND D.CDPRATO = ?)) AND NOT EXISTS (SELECT 1 FROM DADOSPRAT D "
                  "WHERE D.CDPRODPRODUCAO = P.CDPRODUTO AND NOT (D.CDFILAUXPRAT = ? AND D.CDPRATO = ?))";
    QVariantList values{QString::number(picture.GetTtNiveis()), owner, dish, owner, dish};
    if (all.isEmpty() || !code.isEmpty()) {
        sql += " AND P.CDARVPROD = ?";
        values << code;
    }
    return QVariant::fromValue(call.select(sql + " ORDER BY P.CDARVPROD", values, defs));
}

} // namespace appserver

#include "rdmreceitapadrao.h"

namespace appserver {

void RdmReceitaPadrao::registraSubstituicao()
{
    query<RdmReceitaPadrao>("PesqProdOpc", &Substituicao::PesqProdOpc);
    query<RdmReceitaPadrao>("TrocaProduto", &Substituicao::TrocaProduto);
    query<RdmReceitaPadrao>("GetProdProd", &Substituicao::GetProdProd);
}

} // namespace appserver
