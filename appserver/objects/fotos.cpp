// The dish photos of the standard, branch and service levels: methods of
// Pla01300.rdmReceitaPadrao.
#include "fotos.h"
#include "numeracao.h"
#include "rdmreceitapadrao.h"

#include "appserver/errors.h"
#include "appserver/resultcolumns.h"
#include "framework/core/consiste.h"

namespace appserver {

namespace {

// One level's table. Exactly the columns below, in this order, go to the client: the active
// flag is always the fourth and the fit flag the fifth.
struct NivelFoto {
    const char* tabela;
    QStringList escopo; // CDFILIAL, CDSERVFILI where the level has them
    QString numero;     // NRFOTOPRA...
    QString ativo;      // IDFOTOPRA...: "1" active, "2" deactivated
    const char* colunas;

    QStringList chaves() const
    {
        return QStringList{QStringLiteral("CDFILAUXPRAT"), QStringLiteral("CDPRATO")} + escopo + QStringList{numero};
    }
    QString select() const
    {
        QStringList columns;
        for (const auto& field : fields(colunas))
            columns << field.name;
        return QStringLiteral("SELECT %1 FROM %2 ").arg(columns.join(QStringLiteral(", ")), QLatin1String(tabela));
    }
};

const NivelFoto padrao{"FOTOPRAPAD", {}, "NRFOTOPRAPAD", "IDFOTOPRAPAD",
                       "CDFILAUXPRAT:T4 CDPRATO:T10 NRFOTOPRAPAD:T2 IDFOTOPRAPAD:T1 IDAJUSFOTPAD:T1 FGFOTOPRAPAD:X"};
const NivelFoto filial{"FOTOPRAFIL", {"CDFILIAL"}, "NRFOTOPRAFIL", "IDFOTOPRAFIL",
                       "CDPRATO:T10 CDFILAUXPRAT:T4 CDFILIAL:T4 IDFOTOPRAFIL:T1 IDAJUSFOTFIL:T1 FGFOTOPRAFIL:X "
                       "NRFOTOPRAFIL:T2"};
const NivelFoto servico{"FOTOPRASER", {"CDFILIAL", "CDSERVFILI"}, "NRFOTOPRASER", "IDFOTOPRASER",
                        "CDFILAUXPRAT:T4 CDPRATO:T10 CDFILIAL:T4 IDFOTOPRASER:T1 IDAJUSFOTSER:T1 FGFOTOPRASER:X "
                        "CDSERVFILI:T5 NRFOTOPRASER:T2"};

framework::DataPacket fotos(Call& call, const NivelFoto& nivel, const QString& where, const QVariantList& values)
{
    static const QHash<const NivelFoto*, framework::FieldDefs> defs{
        {&padrao, fields(padrao.colunas)}, {&filial, fields(filial.colunas)}, {&servico, fields(servico.colunas)}};
    QStringList order{QStringLiteral("CDFILAUXPRAT"), QStringLiteral("CDPRATO")};
    order += nivel.escopo;
    order << nivel.numero;
    return call.select(nivel.select() + QStringLiteral("WHERE ") + where + QStringLiteral(" ORDER BY ")
                           + order.join(QStringLiteral(", ")),
                       values, defs.value(&nivel));
}

// Applies the change log; a dish keeps at most one active photo on each level.
void atualiza(Call& call, const NivelFoto& nivel)
{
    call.apply(call.packet(0), {QString::fromLatin1(nivel.tabela), nivel.chaves()});
    QStringList groups{QStringLiteral("CDFILAUXPRAT"), QStringLiteral("CDPRATO")};
    groups += nivel.escopo;
    const QVariant doubled = call.value(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = '1' GROUP BY %3 HAVING COUNT(*) > 1")
                                            .arg(QLatin1String(nivel.tabela), nivel.ativo, groups.join(QStringLiteral(", "))));
    if (doubled.isValid() && !doubled.isNull())
        throw Refusal(QStringLiteral("Já existe uma foto ativa para este prato. Desative-a antes de ativar outra."));
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
    static const auto defs = fields("NRFOTOPRAPAD:D NRFOTOPRAFIL:D NRFOTOPRASER:D");
    const QString branch = framework::Ajusta(call.text(2), 4);
    const QString service = framework::Ajusta(call.text(3), 5);
    const NivelFoto& nivel = branch.isEmpty() ? padrao : service.isEmpty() ? filial : servico;
    call.setArg(2, branch);
    call.setArg(3, service);
    QString where = QStringLiteral("CDFILAUXPRAT = ? AND CDPRATO = ?");
    QVariantList values{call.text(0).trimmed(), call.text(1).trimmed()};
    if (!nivel.escopo.isEmpty()) {
        where += QStringLiteral(" AND CDFILIAL = ?");
        values << branch;
    }
    if (nivel.escopo.size() > 1) {
        where += QStringLiteral(" AND CDSERVFILI = ?");
        values << service;
    }
    const QString sql = selectProximoNumero({padrao.numero, filial.numero, servico.numero}, nivel.numero,
                                            QLatin1String(nivel.tabela), where);
    return QVariant::fromValue(call.select(sql, values, defs));
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
