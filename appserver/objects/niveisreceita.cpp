#include "niveisreceita.h"

#include "appserver/errors.h"
#include "appserver/guards.h"
#include "appserver/sqlpacket.h"
#include "framework/core/consiste.h"
#include "rdmreceitapadrao.h"
#include "receitas.h"

namespace appserver {

namespace {

QString flagValue(const QString& flag)
{
    return flag.trimmed() == u"S" ? QStringLiteral("S") : QStringLiteral("N");
}

// One level's list: sets the base-product column of the dish's rows under the scope, answers the
// group's list of that scope. The flag argument goes back as stored.
QVariant baseProduto(Call& call, receitas::Nivel nivel, const char* table, const char* column,
                     const QStringList& keys, const QVariantList& scope, int flagArg, int workingArg, int groupArg)
{
    const QString flag = flagValue(call.text(flagArg));
    call.setArg(flagArg, flag);
    const QString working = call.code(workingArg, 4);
    QString sql = QStringLiteral("UPDATE %1 SET %2 = ? WHERE CDFILAUXPRAT = ? AND CDPRATO = ?")
                      .arg(QLatin1String(table), QLatin1String(column));
    for (const QString& key : keys)
        sql += QStringLiteral(" AND %1 = ?").arg(key);
    execute(call.db(), sql, QVariantList{flag, call.text(0), call.text(1)} + scope);
    return receitas::carrega(call, nivel, call.text(groupArg), working, scope).value(0);
}

} // namespace

QVariant NiveisReceita::GetParamGrup(Call& call) const
{
    return guards::groupParameter(call, call.operatorCode(0), call.text(1).trimmed());
}

QVariant NiveisReceita::ProUpProdBaseLO(Call& call) const
{
    return baseProduto(call, receitas::Nivel::Filial, "RECEFILI", "IDPRODBASELO", {"CDFILIAL"},
                       {framework::Ajusta(call.text(2), 4)}, 3, 4, 5);
}

QVariant NiveisReceita::ProUpProdBaseSE(Call& call) const
{
    return baseProduto(call, receitas::Nivel::Servico, "RECESERV", "IDPRODBASESE", {"CDFILIAL", "CDSERVFILI"},
                       {framework::Ajusta(call.text(2), 4), framework::Ajusta(call.text(3), 5)}, 4, 5, 6);
}

QVariant NiveisReceita::ProUpProdBaseTP(Call& call) const
{
    // Without its central and menu type the call would change every menu type's recipe of the dish.
    if (call.text(5).trimmed().isEmpty() || call.text(6).trimmed().isEmpty())
        throw Refusal(QStringLiteral("Central e tipo de cardápio devem ser informados."));
    return baseProduto(call, receitas::Nivel::TpCard, "RECETPCARD", "IDPRODBASEPRTP", {"CDFILCENTPME", "CDTIPOCARD"},
                       {framework::Ajusta(call.text(5), 4), framework::AjustaTipoCard(call.text(6))}, 2, 3, 4);
}

void NiveisReceita::UpdPratTpCard(Call& call) const
{
    static const QStringList keys{"CDFILCENTPME", "CDTIPOCARD", "CDFILAUXPRAT", "CDPRATO"};
    static const QStringList writable{"CDFILCENTPME",   "CDTIPOCARD",     "CDFILAUXPRAT",   "CDPRATO",
                                      "NRCORPRIPRATTP", "NRCORSEQPRATTP", "NRCORAUXPRATTP", "QTPADRAOPRATTP",
                                      "QTCONTAIPRATTP", "HRVALCONPRATTP", "NMFANTASIAPRTP", "QTAMOSTRPADRTP",
                                      "VRPEMINPADRTP",  "IDATIVO"};
    const framework::DataPacket log = call.packet(0);
    call.apply(log, {QStringLiteral("PRATTPCARD"), keys, writable});
    // The names come from the client: only the table's own non-key columns may be cleared.
    QStringList nulls;
    for (const QString& name : call.text(1).split(u'_', Qt::SkipEmptyParts))
        if (writable.contains(name.trimmed().toUpper()) && !keys.contains(name.trimmed().toUpper()))
            nulls << name.trimmed().toUpper();
    if (nulls.isEmpty())
        return;
    QStringList sets;
    for (const QString& name : nulls)
        sets << name + QStringLiteral(" = NULL");
    const QString sql = QStringLiteral("UPDATE PRATTPCARD SET %1 WHERE CDFILCENTPME = ? AND CDTIPOCARD = ? "
                                       "AND CDFILAUXPRAT = ? AND CDPRATO = ?")
                            .arg(sets.join(QStringLiteral(", ")));
    QList<int> columns;
    for (const QString& key : keys)
        columns << log.rows.indexOf(key);
    if (columns.contains(-1))
        return;
    for (int row = 0; row < log.rowCount(); ++row) {
        if (log.rowStatus(row) == framework::RowStatus::Deleted)
            continue;
        QVariantList values;
        for (int column : columns)
            values << log.rows.text(row, column);
        execute(call.db(), sql, values);
    }
}

void RdmReceitaPadrao::registraNiveis()
{
    query<RdmReceitaPadrao>("GetParamGrup", &NiveisReceita::GetParamGrup);
    query<RdmReceitaPadrao>("ProUpProdBaseLO", &NiveisReceita::ProUpProdBaseLO);
    query<RdmReceitaPadrao>("ProUpProdBaseSE", &NiveisReceita::ProUpProdBaseSE);
    query<RdmReceitaPadrao>("ProUpProdBaseTP", &NiveisReceita::ProUpProdBaseTP);
    update<RdmReceitaPadrao>("UpdPratTpCard", &NiveisReceita::UpdPratTpCard);
}

} // namespace appserver
