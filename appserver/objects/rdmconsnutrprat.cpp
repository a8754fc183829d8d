#include "rdmconsnutrprat.h"

#include "appserver/resultcolumns.h"
#include "framework/core/consiste.h"
#include "recipelevel.h"

namespace appserver {

RdmConsNutrPrat::RdmConsNutrPrat() : ServerObject("PLA01304.rdmConsNutrPrat")
{
    query("GetNutriente", &RdmConsNutrPrat::GetNutriente);
    query("ProNDPCAL", &RdmConsNutrPrat::ProNDPCAL);
}

QVariant RdmConsNutrPrat::GetNutriente(Call& call) const
{
    static const auto defs = fields("CDNUTRIENTE:T3 NMNUTRIENTE:T20 QTNUTRIENTE:D SGUNIDADE:T10");
    // Argument 2, the effective branch, is the site asking; nutrient contents are the same at every site.
    const RecipeLevel level = RecipeLevel::of(
        {call.text(0), call.text(4), call.text(1), call.text(3), call.text(5), call.text(6)});
    framework::DataPacket packet = call.select(
        QStringLiteral("SELECT N.CDNUTRIENTE, N.NMNUTRIENTE, SUM(COALESCE(%1, 0) * PN.QTNUTRIENTE) / 100, N.SGUNIDADE "
                       "FROM %2 R JOIN PRODNUTR PN ON PN.CDPRODUTO = R.CDPRODUTO "
                       "JOIN NUTRIENTE N ON N.CDNUTRIENTE = PN.CDNUTRIENTE "
                       "WHERE %3 GROUP BY N.CDNUTRIENTE, N.NMNUTRIENTE, N.SGUNIDADE ORDER BY N.CDNUTRIENTE")
            .arg(level.nutrient, level.table, level.where),
        level.values, defs);
    for (int row = 0; row < packet.rowCount(); ++row)
        packet.rows.setValue(row, 2, framework::RoundDec(packet.rows.value(row, 2).toDouble(), 5));
    return QVariant::fromValue(packet);
}

QVariant RdmConsNutrPrat::ProNDPCAL(Call& call) const
{
    // Argument 1, the effective branch, is the site asking, as in GetNutriente.
    const RecipeLevel level = RecipeLevel::of(
        {call.text(0), call.text(3), call.text(2), call.text(4), call.text(5), call.text(6)});
    const QString calories = call.value("SELECT CDCALORIAS FROM PARAMGERAL ORDER BY CDPARGERAL").toString();
    const QString protein = call.value("SELECT CDPROTEINA FROM PARAMGERAL ORDER BY CDPARGERAL").toString();
    const double kcal = nutrientTotal(call, level, calories);
    if (kcal <= 0)
        return 0.0;
    const double proteinKcal = nutrientTotal(call, level, protein) * kcalPerProteinGram * proteinUtilisation;
    return framework::RoundDec(proteinKcal / kcal * 100.0, 2);
}

double RdmConsNutrPrat::nutrientTotal(Call& call, const RecipeLevel& level, const QString& nutrient)
{
    const QVariant total = call.value(
        QStringLiteral("SELECT SUM(COALESCE(%1, 0) * PN.QTNUTRIENTE) / 100 FROM %2 R "
                       "JOIN PRODNUTR PN ON PN.CDPRODUTO = R.CDPRODUTO WHERE PN.CDNUTRIENTE = ? AND %3")
            .arg(level.nutrient, level.table, level.where),
        QVariantList{nutrient} + level.values);
    return total.toDouble();
}

} // namespace appserver
