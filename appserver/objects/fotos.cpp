// The dish photos of the standard, branch and service levels: methods of
// Pla01300.rdmReceitaPadrao.
#include "fotos.h"
#include "numeracao.h"
#include "rdmreceitapadrao.h"

#include "appserver/errors.h"
#include "appserver/resultcolumns.h"
#include "framework/core/consiste.h"

#include <QHash>

namespace appserver {

namespace {

// Each level's table. The active flag is always the fourth column and the fit flag the fifth.
const NivelNumerado padrao{"FOTOPRAPAD", {}, "NRFOTOPRAPAD", "IDFOTOPRAPAD",
                           "CDFILAUXPRAT:T4 CDPRATO:T10 NRFOTOPRAPAD:T2 IDFOTOPRAPAD:T1 IDAJUSFOTPAD:T1 FGFOTOPRAPAD:X"};
const NivelNumerado filial{"FOTOPRAFIL", {"CDFILIAL"}, "NRFOTOPRAFIL", "IDFOTOPRAFIL",
                           "CDPRATO:T10 CDFILAUXPRAT:T4 CDFILIAL:T4 IDFOTOPRAFIL:T1 IDAJUSFOTFIL:T1 FGFOTOPRAFIL:X "
                           "NRFOTOPRAFIL:T2"};
const NivelNumerado servico{"FOTOPRASER", {"CDFILIAL", "CDSERVFILI"}, "NRFOTOPRASER", "IDFOTOPRASER",
                            "CDFILAUXPRAT:T4 CDPRATO:T10 CDFILIAL:T4 IDFOTOPRASER:T1 IDAJUSFOTSER:T1 FGFOTOPRASER:X "
                            "CDSERVFILI:T5 NRFOTOPRASER:T2"};

framework::DataPacket fotos(Call& call, const NivelNumerado& nivel, const QString& where, const QVariantList& values)
{
    static const QHash<const NivelNumerado*, framework::FieldDefs> defs{
        {&padrao, fields(padrao.colunas)}, {&filial, fields(filial.colunas)}, {&servico, fields(servico.colunas)}};
    QStringList order{QStringLiteral("CDFILAUXPRAT"), QStringLiteral("CDPRATO")};
    order += nivel.escopo;
    order << nivel.numero;
    QStringList columns;
    for (const auto& field : defs.value(&nivel))
        columns << field.name;
    return call.select(QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %4")
                           .arg(columns.join(QStringLiteral(", ")), QLatin1String(nivel.tabela), where,
                                order.join(QStringLiteral(", "))),
                       values, defs.value(&nivel));
}

void atualiza(Call& call, const NivelNumerado& nivel)
{
    atualizaNumerados(call, nivel,
                      QStringLiteral("Já existe uma foto ativa para este prato. Desative-a antes de ativar outra."));
}

} // namespace

QVariant FotosPrato::GetFotoPraPad(Call& call) const
{
    const QString branch = call.code(0, 4);
    const QString dish = call.text(1).trimmed();
    call.setArg(1, dish);
    return QVariant::fromValue(
        fotos(call, padrao, QStringLiteral("CDPRATO = ? AND (CDFILAUXPRAT = 'P' OR CDFILAUXPRAT = ?)"), {dish, branch}));
}

QVariant FotosPrato::GetFotoPraFil(Call& call) const
{
    const QString dish = call.text(1).trimmed();
    call.setArg(1, dish);
    return QVariant::fromValue(fotos(call, filial, QStringLiteral("CDFILIAL = ? AND CDPRATO = ?"),
                                     {framework::Ajusta(call.text(0), 4), dish}));
}

QVariant FotosPrato::GetFotoPraSer(Call& call) const
{
    const QString dish = call.text(1).trimmed();
    call.setArg(1, dish);
    return QVariant::fromValue(fotos(call, servico, QStringLiteral("CDFILIAL = ? AND CDPRATO = ?"),
                                     {framework::Ajusta(call.text(0), 4), dish}));
}

QVariant FotosPrato::GetProxCodigoFto(Call& call) const
{
    return proximoNumero(call, padrao, filial, servico);
}

void FotosPrato::UpdFotoPraPad(Call& call) const
{
    atualiza(call, padrao);
}

void FotosPrato::UpdFotoPraFil(Call& call) const
{
    atualiza(call, filial);
}

void FotosPrato::UpdFotoPraSer(Call& call) const
{
    atualiza(call, servico);
}

void RdmReceitaPadrao::registraFotos()
{
    query<RdmReceitaPadrao>("GetFotoPraPad", &FotosPrato::GetFotoPraPad);
    query<RdmReceitaPadrao>("GetFotoPraFil", &FotosPrato::GetFotoPraFil);
    query<RdmReceitaPadrao>("GetFotoPraSer", &FotosPrato::GetFotoPraSer);
    query<RdmReceitaPadrao>("GetProxCodigoFto", &FotosPrato::GetProxCodigoFto);
    update<RdmReceitaPadrao>("UpdFotoPraPad", &FotosPrato::UpdFotoPraPad);
    update<RdmReceitaPadrao>("UpdFotoPraFil", &FotosPrato::UpdFotoPraFil);
    update<RdmReceitaPadrao>("UpdFotoPraSer", &FotosPrato::UpdFotoPraSer);
}

} // namespace appserver
