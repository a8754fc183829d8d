#include "rdmreceitapadrao.h"

#include "appserver/resultcolumns.h"
#include "dishtree.h"
#include "receitas.h"
#include "framework/core/consiste.h"

namespace appserver {

namespace {

const char* const paramGeralSelect =
    "SELECT CDFILIAL, CDPICTPROD, CDPICTPRAT, CDNVBLPROD, CDNVBLPRAT, CDNVBLREFE, CDPARGERAL, CDGRUPPROD "
    "FROM PARAMGERAL ORDER BY CDPARGERAL";
const char* const paramGeralFields =
    "CDFILIAL:T4 CDPICTPROD:T30 CDPICTPRAT:T30 CDNVBLPROD:T2 CDNVBLPRAT:T2 CDNVBLREFE:T2 CDPARGERAL:T4 CDGRUPPROD:T20";

const char* const paramPlanejaSelect =
    "SELECT CDFILIAL, IDQTLIQUBRUT, IDBLOPRATLOC, IDBLOALTRELO, IDAPRERECE, IDGANHOCOCC, IDAPROVCOCC, "
    "IDPERDALIMP, IDAPROVLIMP, IDTEMPPREP, IDUTDIASLIMSEG, IDUTREQCOMPENTD, IDPERDADEGELO "
    "FROM PARAMPLANEJA WHERE CDFILIAL = ?";
const char* const paramPlanejaFields =
    "CDFILIAL:T4 IDQTLIQUBRUT:T1 IDBLOPRATLOC:T1 IDBLOALTRELO:T1 IDAPRERECE:T1 IDGANHOCOCC:T1 IDAPROVCOCC:T1 "
    "IDPERDALIMP:T1 IDAPROVLIMP:T1 IDTEMPPREP:T1 IDUTDIASLIMSEG:T1 IDUTREQCOMPENTD:T1 IDPERDADEGELO:T1";

} // namespace

RdmReceitaPadrao::RdmReceitaPadrao() : ServerObject("Pla01300.rdmReceitaPadrao")
{
    query("GetParamPlaneja", &RdmReceitaPadrao::GetParamPlaneja);
    query("GetParamGeral", &RdmReceitaPadrao::GetParamGeral);
    query("GetGerParamGeral", &RdmReceitaPadrao::GetGerParamGeral);
    query("GetCentral", &RdmReceitaPadrao::GetCentral);
    query("GetParams", &RdmReceitaPadrao::GetParams);
    query("GetPrato", &RdmReceitaPadrao::GetPrato);
    query("GetPratoAux", &RdmReceitaPadrao::GetPratoAux);
    update("UpdParamGeral", &RdmReceitaPadrao::UpdParamGeral);
    query("GetProxCodPrato", &RdmReceitaPadrao::GetProxCodPrato);
    query("GetExistPrat", &RdmReceitaPadrao::GetExistPrat);
    update("UpdPrato", &RdmReceitaPadrao::UpdPrato);
    query("GetReceitaPad", &RdmReceitaPadrao::GetReceitaPad);
    query("GetReceitaTpCard", &RdmReceitaPadrao::GetReceitaTpCard);
    query("GetReceitaLoc", &RdmReceitaPadrao::GetReceitaLoc);
    query("GetReceitaSer", &RdmReceitaPadrao::GetReceitaSer);
    update("UpdProdPrat", &RdmReceitaPadrao::UpdProdPrat);
    update("UpdReceTpCard", &RdmReceitaPadrao::UpdReceTpCard);
    update("UpdReceFili", &RdmReceitaPadrao::UpdReceFili);
    update("UpdReceServ", &RdmReceitaPadrao::UpdReceServ);
    registerReceProd();
    registraIngredientes();
    registraSubstituicao();
    registraNiveis();
    registraDadosPrato();
    query("GetPrepPad", &RdmReceitaPadrao::GetPrepPad);
    query("GetPrepFil", &RdmReceitaPadrao::GetPrepFil);
    query("GetPrepSer", &RdmReceitaPadrao::GetPrepSer);
    query("GetProxCodigoPrat", &RdmReceitaPadrao::GetProxCodigoPrat);
    update("UpdPrepPad", &RdmReceitaPadrao::UpdPrepPad);
    update("UpdPrepFil", &RdmReceitaPadrao::UpdPrepFil);
    update("UpdPrepSer", &RdmReceitaPadrao::UpdPrepSer);
    query("GetImportaPrep", &RdmReceitaPadrao::GetImportaPrep);
    query("GetVdFormaPreparo", &RdmReceitaPadrao::GetVdFormaPreparo);
    registraContainers();
    registraFotos();
    registraPercentual();
    registraReplica();
}

QVariant RdmReceitaPadrao::GetParamPlaneja(Call& call) const
{
    static const auto defs = fields(paramPlanejaFields);
    return QVariant::fromValue(call.select(paramPlanejaSelect, {call.text(0)}, defs));
}

QVariant RdmReceitaPadrao::GetParamGeral(Call& call) const
{
    static const auto defs = fields(paramGeralFields);
    return QVariant::fromValue(call.select(paramGeralSelect, {}, defs));
}

QVariant RdmReceitaPadrao::GetGerParamGeral(Call& call) const
{
    static const auto defs = fields("IDPERMSELCENTRALPLA:T1");
    return QVariant::fromValue(call.select("SELECT IDPERMSELCENTRALPLA FROM PARAMGERAL ORDER BY CDPARGERAL", {}, defs));
}

QVariant RdmReceitaPadrao::GetCentral(Call& call) const
{
    static const auto defs = fields("CDCENTRAL:T4 NMCENTRAL:T30");
    const QString code = call.text(0);
    const QString operador = call.operatorCode(1);
    // An operator without a list of centrals may use every central.
    return QVariant::fromValue(call.select(
        "SELECT F.CDFILIAL, F.NMFILIAL FROM FILIAL F "
        "WHERE F.IDFILCENTPME = 'S' AND (? = 'T' OR F.CDFILIAL = ?) "
        "AND (NOT EXISTS (SELECT 1 FROM USUACENTRAL U WHERE U.CDOPERADOR = ?) "
        "     OR EXISTS (SELECT 1 FROM USUACENTRAL U WHERE U.CDOPERADOR = ? AND U.CDCENTRAL = F.CDFILIAL)) "
        "ORDER BY F.CDFILIAL",
        {code, code, operador, operador}, defs));
}

QVariant RdmReceitaPadrao::GetParams(Call& call) const
{
    static const auto geral = fields(paramGeralFields);
    static const auto planeja = fields(paramPlanejaFields);
    static const auto produtos = fields("CDPRODUTO:T10 IDCNTRESTOQ:T1");
    const QString branch = call.code(0, 4);
    return QVariantList{
        QVariant::fromValue(call.select(paramGeralSelect, {}, geral)),
        QVariant::fromValue(call.select(paramPlanejaSelect, {branch}, planeja)),
        QVariant::fromValue(call.select(
            "SELECT CDPRODUTO, IDCNTRESTOQ FROM PRODUTO WHERE CDPRODESTO IS NOT NULL ORDER BY CDPRODUTO", {}, produtos)),
    };
}

QVariant RdmReceitaPadrao::GetPrato(Call& call) const
{
    static const auto defs = fields(
        "CDPRATO:T10 NMPRATO:T40 CDNVPRATO:T1 CDFILAUXPRAT:T4 CDFILIAL:T4 SGUNIDADE:T10 VRARREDTRANS:D CDSEGMER:T5 "
        "DSSEGMER:T40 NRFORMAPREPARO:D NMFORMAPREPARO:T30 IDFREQUENCIA:T1 QTTEMPOPRAT:D VRVALIDADE:D IDATIVO:T1 "
        "CDPRODPRODUCAO:T10 CDARVPROD:T20 NMPRODUTO:T50");
    return QVariant::fromValue(call.select(
        "SELECT P.CDPRATO, P.NMPRATO, P.CDNVPRATO, P.CDFILAUXPRAT, P.CDFILIAL, P.SGUNIDADE, P.VRARREDTRANS, "
        "P.CDSEGMER, S.DSSEGMER, P.NRFORMAPREPARO, F.NMFORMAPREPARO, P.IDFREQUENCIA, P.QTTEMPOPRAT, P.VRVALIDADE, "
        "P.IDATIVO, P.CDPRODPRODUCAO, R.CDARVPROD, R.NMPRODUTO "
        "FROM PRATO P "
        "LEFT JOIN SEGMERCADO S ON S.CDSEGMER = P.CDSEGMER "
        "LEFT JOIN FORMAPREPARO F ON F.NRFORMAPREPARO = P.NRFORMAPREPARO "
        "LEFT JOIN PRODUTO R ON R.CDPRODUTO = P.CDPRODPRODUCAO "
        "WHERE P.CDFILAUXPRAT = 'P' OR P.CDFILAUXPRAT = ? "
        "ORDER BY P.CDPRATO, P.CDFILAUXPRAT",
        {call.code(0, 4)}, defs));
}

QVariant RdmReceitaPadrao::GetPratoAux(Call& call) const
{
    static const auto defs = fields("CDCHAVEPRATO:T14 CDPRATO:T10 NMPRATO:T40 CDFILAUXPRAT:T4 CDNVPRATO:T1");
    return QVariant::fromValue(call.select(
        "SELECT (CDPRATO || CDFILAUXPRAT) AS CDCHAVEPRATO, CDPRATO, NMPRATO, CDFILAUXPRAT, CDNVPRATO FROM PRATO "
        "WHERE (CDFILAUXPRAT = 'P' OR CDFILAUXPRAT = ?) ORDER BY CDNVPRATO, CDPRATO, NMPRATO",
        {call.code(0, 4)}, defs));
}

void RdmReceitaPadrao::UpdParamGeral(Call& call) const
{
    // The columns the form's parameter packet carries; the others are not the form's to change.
    call.apply(call.packet(0), {"PARAMGERAL",
                                {"CDPARGERAL"},
                                {"CDFILIAL", "CDPICTPROD", "CDPICTPRAT", "CDNVBLPROD", "CDNVBLPRAT", "CDNVBLREFE",
                                 "CDGRUPPROD"}});
}

QVariant RdmReceitaPadrao::GetProxCodPrato(Call& call) const
{
    static const auto defs = fields("CDPRATO:T10");
    const QString level = call.text(0);
    const QString pattern = call.text(1);
    const QString branch = framework::Ajusta(call.text(2), 4);
    const bool branchModule = call.flag(3);
    const qint64 width = call.integer(4);
    const bool lastLevel = call.flag(6);
    // Argument 5, the current code, is where the client took the prefix from: nothing more to learn.

    // The pattern is the group's code followed by '%'. It is matched as sent, and the group's
    // code is also compared by position, so that a '%' or '_' inside a code cannot reach
    // other groups. At the last level the width sent is that of the dishes, which pins their
    // length as well; above it the level alone does.
    QString prefix = pattern;
    while (prefix.endsWith(QLatin1Char('%')))
        prefix.chop(1);
    QString sql = "SELECT MAX(CDPRATO) FROM PRATO "
                  "WHERE CDNVPRATO = ? AND CDPRATO LIKE ? AND SUBSTR(CDPRATO, 1, ?) = ?";
    QVariantList values{level, pattern, prefix.size(), prefix};
    if (lastLevel) {
        sql += " AND LENGTH(CDPRATO) = ?";
        values << prefix.size() + width;
    }
    // A branch creates local dishes: the standard tree and its own count. The central's new
    // dishes may become standard and then show in every tree: every tree counts.
    if (branchModule) {
        sql += " AND (CDFILAUXPRAT = 'P' OR CDFILAUXPRAT = ?)";
        values << branch;
    }
    return QVariant::fromValue(call.select(sql, values, defs));
}

QVariant RdmReceitaPadrao::GetExistPrat(Call& call) const
{
    static const auto defs = fields("CDPRATO:T10 CDFILAUXPRAT:T4");
    QString code = call.text(0);
    while (code.endsWith(QLatin1Char(' ')))
        code.chop(1);
    const framework::DataPacket found = call.select(
        "SELECT CDPRATO, CDFILAUXPRAT FROM PRATO WHERE CDPRATO = ? ORDER BY CDFILAUXPRAT", {code}, defs);
    bool blocked = !dishtree::isCompleteCode(code);
    for (int row = 0; row < found.rowCount(); ++row)
        blocked = blocked || found.rows.text(row, 1) == "P";
    return QVariantList{QVariant::fromValue(found), blocked};
}

void RdmReceitaPadrao::UpdPrato(Call& call) const
{
    dishtree::applyLog(call, call.packet(0));
}

QVariant RdmReceitaPadrao::GetReceitaPad(Call& call) const
{
    return receitas::carrega(call, receitas::Nivel::Padrao, call.text(0), call.code(1, 4), {});
}

QVariant RdmReceitaPadrao::GetReceitaTpCard(Call& call) const
{
    return receitas::carrega(call, receitas::Nivel::TpCard, call.text(0), call.code(1, 4),
                             {framework::Ajusta(call.text(2), 4), framework::AjustaTipoCard(call.text(3))});
}

QVariant RdmReceitaPadrao::GetReceitaLoc(Call& call) const
{
    return receitas::carrega(call, receitas::Nivel::Filial, call.text(0), call.code(1, 4),
                             {framework::Ajusta(call.text(2), 4)});
}

QVariant RdmReceitaPadrao::GetReceitaSer(Call& call) const
{
    return receitas::carrega(call, receitas::Nivel::Servico, call.text(0), call.code(1, 4),
                             {framework::Ajusta(call.text(2), 4), framework::Ajusta(call.text(3), 5)});
}

void RdmReceitaPadrao::UpdProdPrat(Call& call) const
{
    receitas::atualiza(call, receitas::Nivel::Padrao, call.packet(0));
}

void RdmReceitaPadrao::UpdReceTpCard(Call& call) const
{
    receitas::atualiza(call, receitas::Nivel::TpCard, call.packet(0));
}

void RdmReceitaPadrao::UpdReceFili(Call& call) const
{
    receitas::atualiza(call, receitas::Nivel::Filial, call.packet(0));
}

void RdmReceitaPadrao::UpdReceServ(Call& call) const
{
    receitas::atualiza(call, receitas::Nivel::Servico, call.packet(0));
}

} // namespace appserver
