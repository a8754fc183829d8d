#include "recipelevel.h"

#include "framework/core/consiste.h"

namespace appserver {

RecipeLevel RecipeLevel::of(const Keys& keys)
{
    const QVariantList dish{keys.owner.trimmed(), keys.dish.trimmed()};
    const QString dishWhere = QStringLiteral("R.CDFILAUXPRAT = ? AND R.CDPRATO = ?");
    RecipeLevel level;
    if (!absent(keys.menuType) && !absent(keys.central)) {
        // Menu-type codes are names ("HOSPITALAR"): compared as sent, not padded with zeros.
        level = {"RECETPCARD", "R.CDFILCENTPME = ? AND R.CDTIPOCARD = ? AND " + dishWhere,
                 QVariantList{framework::Ajusta(keys.central, 4), keys.menuType.trimmed()} + dish,
                 "R.QTPRODPRATTP", "R.QTBRUTAPRTP", "R.VRPEFATCOCPRTP", "R.VRPEFATCORPRTP", "R.QTCALCNUTRPRTP"};
    } else if (!absent(keys.service) && !absent(keys.branch)) {
        level = {"RECESERV", "R.CDFILIAL = ? AND R.CDSERVFILI = ? AND " + dishWhere,
                 QVariantList{framework::Ajusta(keys.branch, 4), framework::Ajusta(keys.service, 5)} + dish,
                 "R.QTPRODRECSER", "R.QTBRUTASE", "R.VRPEFATCOCSE", "R.VRPEFATCORSE", "R.QTCALCNUTRSE"};
    } else if (!absent(keys.branch)) {
        level = {"RECEFILI", "R.CDFILIAL = ? AND " + dishWhere,
                 QVariantList{framework::Ajusta(keys.branch, 4)} + dish,
                 "R.QTPRODRECLOC", "R.QTBRUTALO", "R.VRPEFATCOCLO", "R.VRPEFATCORLO", "R.QTCALCNUTRLO"};
    } else {
        level = {"PRODPRAT", dishWhere, dish,
                 "R.QTPRODPRAT", "R.QTBRUTAPR", "R.VRPEFATCOCPR", "R.VRPEFATCORPR", "R.QTCALCNUTRPR"};
    }
    return level;
}

} // namespace appserver
