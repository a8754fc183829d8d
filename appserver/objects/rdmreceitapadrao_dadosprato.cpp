// The dish data of the standard, branch and service levels, the standard-recipe check of a
// local revision and the household measures.
#include "rdmreceitapadrao.h"

#include "appserver/resultcolumns.h"
#include "framework/core/consiste.h"
#include "receitas.h"

namespace appserver {

void RdmReceitaPadrao::registraDadosPrato()
{
    update("UpdDadosPrat", &RdmReceitaPadrao::UpdDadosPrat);
    update("UpdPratFili", &RdmReceitaPadrao::UpdPratFili);
    update("UpdPratServ", &RdmReceitaPadrao::UpdPratServ);
    query("Verif_PratRecPadrao", &RdmReceitaPadrao::Verif_PratRecPadrao);
    query("getMediCase", &RdmReceitaPadrao::getMediCase);
    query("vdMediCase", &RdmReceitaPadrao::vdMediCase);
}

void RdmReceitaPadrao::UpdDadosPrat(Call& call) const
{
    receitas::atualizaDados(call, receitas::Nivel::Padrao, call.packet(0), call.text(1));
}

void RdmReceitaPadrao::UpdPratFili(Call& call) const
{
    receitas::atualizaDados(call, receitas::Nivel::Filial, call.packet(0), call.text(1));
}

void RdmReceitaPadrao::UpdPratServ(Call& call) const
{
    receitas::atualizaDados(call, receitas::Nivel::Servico, call.packet(0), call.text(1));
}

QVariant RdmReceitaPadrao::Verif_PratRecPadrao(Call& call) const
{
    const QVariant rows = call.value("SELECT COUNT(*) FROM PRODPRAT WHERE CDFILAUXPRAT = ? AND CDPRATO = ?",
                                     {call.text(0), call.text(1)});
    return rows.toLongLong() > 0 ? QStringLiteral("N") : QStringLiteral("S");
}

QVariant RdmReceitaPadrao::getMediCase(Call& call) const
{
    static const auto defs = fields("CDMEDICASE:T5 NMMEDICASE:T40");
    return QVariant::fromValue(call.select("SELECT CDMEDICASE, NMMEDICASE FROM MEDICASE ORDER BY CDMEDICASE", {}, defs));
}

QVariant RdmReceitaPadrao::vdMediCase(Call& call) const
{
    static const auto defs = fields("CDMEDICASE:T5 NMMEDICASE:T40");
    return QVariant::fromValue(call.select("SELECT CDMEDICASE, NMMEDICASE FROM MEDICASE WHERE CDMEDICASE = ?",
                                           {framework::Ajusta(call.text(0), 5)}, defs));
}

} // namespace appserver
