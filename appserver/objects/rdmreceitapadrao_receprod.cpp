// The lists of the recipes-by-product report: branch groupings, the branches of a grouping and
// the services of chosen branches.
#include "rdmreceitapadrao.h"

#include "appserver/resultcolumns.h"
#include "framework/core/consiste.h"

namespace appserver {

void RdmReceitaPadrao::registerReceProd()
{
    query("GetAgrupFili", &RdmReceitaPadrao::GetAgrupFili);
    query("GetFiliaisdoGrupo", &RdmReceitaPadrao::GetFiliaisdoGrupo);
    query("GetServico", &RdmReceitaPadrao::GetServico);
}

QVariant RdmReceitaPadrao::GetAgrupFili(Call& call) const
{
    static const auto defs = fields("CDGRUPFILI:T10 NMGRUPFILI:T40");
    return QVariant::fromValue(call.select("SELECT CDGRUPFILI, NMGRUPFILI FROM GRUPFILI ORDER BY CDGRUPFILI", {}, defs));
}

QVariant RdmReceitaPadrao::GetFiliaisdoGrupo(Call& call) const
{
    static const auto defs = fields("IDMARCADO:T1 CDFILIAL:T4 NMFILIAL:T30");
    const QString grouping = framework::Ajusta(call.text(0), 10);
    return QVariant::fromValue(call.select(
        "SELECT 'N', F.CDFILIAL, F.NMFILIAL FROM FILIAL F "
        "JOIN FILIGRUPFILI G ON G.CDFILIAL = F.CDFILIAL WHERE G.CDGRUPFILI = ? ORDER BY F.CDFILIAL",
        {grouping}, defs));
}

QVariant RdmReceitaPadrao::GetServico(Call& call) const
{
    static const auto defs = fields("IDMARCADO:T1 NMFILIAL:T30 CDCHAVE:T9 CDSERVFILI:T5 NMSERVICO:T40");
    const QString grouping = framework::Ajusta(call.text(0), 10);
    // A branch code, "T" for every branch, or the codes chosen in the branch list; the list is
    // matched as one bound text, never spliced into the statement.
    // An empty text may arrive as null: the choices are made here, not by comparing in SQL.
    const QString branches = call.text(1).trimmed();
    const int anyGrouping = grouping.isEmpty() ? 1 : 0;
    const int anyBranch = branches == u"T" ? 1 : 0;
    return QVariant::fromValue(call.select(
        "SELECT 'N', F.NMFILIAL, S.CDFILIAL || S.CDSERVFILI, S.CDSERVFILI, S.NMSERVICO "
        "FROM SERVICO S JOIN FILIAL F ON F.CDFILIAL = S.CDFILIAL "
        "WHERE (? = 1 OR EXISTS (SELECT 1 FROM FILIGRUPFILI G WHERE G.CDGRUPFILI = ? AND G.CDFILIAL = S.CDFILIAL)) "
        "AND (? = 1 OR ? LIKE '%' || S.CDFILIAL || '%') "
        "ORDER BY S.CDFILIAL, S.CDSERVFILI",
        {anyGrouping, grouping, anyBranch, branches}, defs));
}

} // namespace appserver
