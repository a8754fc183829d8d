// The preparation modes of a dish on the standard, branch and service levels, and the dish's
// preparation forms: methods of Pla01300.rdmReceitaPadrao.
#include "numeracao.h"
#include "rdmreceitapadrao.h"

#include "appserver/errors.h"
#include "appserver/resultcolumns.h"
#include "framework/core/consiste.h"

namespace appserver {

namespace {

// One level's table, with the text and the responsible person of its modes.
struct NivelPreparo : NivelNumerado {
    QString texto;       // TXPREP...
    QString responsavel; // NMRPREP...
};

const NivelPreparo padrao{{"PREPPRAT", {}, "NRPREPPRAT", "IDPREPPRAT",
                           "CDFILAUXPRAT:T4 CDPRATO:T10 NRPREPPRAT:T2 IDPREPPRAT:T1 TXPREPPRAT:X NMRPREPPRAT:T40"},
                          "TXPREPPRAT",
                          "NMRPREPPRAT"};
const NivelPreparo filial{{"PREPFILI", {"CDFILIAL"}, "NRPREPFILI", "IDPREPFILI",
                           "CDFILAUXPRAT:T4 CDPRATO:T10 CDFILIAL:T4 NRPREPFILI:T2 IDPREPFILI:T1 TXPREPFILI:X "
                           "NMRPREPFILI:T40"},
                          "TXPREPFILI",
                          "NMRPREPFILI"};
const NivelPreparo servico{{"PREPSERV", {"CDFILIAL", "CDSERVFILI"}, "NRPREPSERV", "IDPREPSERV",
                            "CDFILAUXPRAT:T4 CDPRATO:T10 CDFILIAL:T4 CDSERVFILI:T5 NRPREPSERV:T2 IDPREPSERV:T1 "
                            "TXPREPSERV:X NMRPREPSERV:T40"},
                           "TXPREPSERV",
                           "NMRPREPSERV"};

// A code as its key column holds it; blank stays blank.
QString codigo(const QString& text, int width)
{
    return framework::Ajusta(text, width);
}

// The dish and the level's scope from the arguments starting at `first`.
QVariantList valoresPrato(Call& call, const NivelPreparo& nivel, int first)
{
    QVariantList values{call.text(first).trimmed(), call.text(first + 1).trimmed()};
    if (!nivel.escopo.isEmpty())
        values << codigo(call.text(first + 2), 4);
    if (nivel.escopo.size() > 1)
        values << codigo(call.text(first + 3), 5);
    return values;
}

framework::DataPacket modos(Call& call, const NivelPreparo& nivel)
{
    const auto def = fields(nivel.colunas);
    QStringList columns;
    for (const auto& field : def)
        columns << field.name;
    return call.select(QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %4, %5")
                           .arg(columns.join(QStringLiteral(", ")), QLatin1String(nivel.tabela), nivel.filtroPrato(),
                                nivel.ativo, nivel.numero),
                       valoresPrato(call, nivel, 0), def);
}

void atualizaModos(Call& call, const NivelPreparo& nivel)
{
    atualizaNumerados(
        call, nivel, QStringLiteral("Já existe um modo de preparo ativo para este prato. Desative-o antes de ativar outro."));
}

} // namespace

QVariant RdmReceitaPadrao::GetPrepPad(Call& call) const
{
    return QVariant::fromValue(modos(call, padrao));
}

QVariant RdmReceitaPadrao::GetPrepFil(Call& call) const
{
    return QVariant::fromValue(modos(call, filial));
}

QVariant RdmReceitaPadrao::GetPrepSer(Call& call) const
{
    return QVariant::fromValue(modos(call, servico));
}

QVariant RdmReceitaPadrao::GetProxCodigoPrat(Call& call) const
{
    return proximoNumero(call, padrao, filial, servico);
}

void RdmReceitaPadrao::UpdPrepPad(Call& call) const
{
    atualizaModos(call, padrao);
}

void RdmReceitaPadrao::UpdPrepFil(Call& call) const
{
    atualizaModos(call, filial);
}

void RdmReceitaPadrao::UpdPrepSer(Call& call) const
{
    atualizaModos(call, servico);
}

QVariant RdmReceitaPadrao::GetImportaPrep(Call& call) const
{
    static const auto defs = fields("TXPREPARO:X");
    const QString letter = call.text(4).trimmed().toUpper();
    const NivelPreparo& nivel = letter == u"S" ? servico : letter == u"F" ? filial : padrao;
    return QVariant::fromValue(call.select(QStringLiteral("SELECT %1 AS TXPREPARO FROM %2 WHERE %3 AND %4 = '1' ORDER BY %5")
                                               .arg(nivel.texto, QLatin1String(nivel.tabela), nivel.filtroPrato(),
                                                    nivel.ativo, nivel.numero),
                                           valoresPrato(call, nivel, 0), defs));
}

QVariant RdmReceitaPadrao::GetVdFormaPreparo(Call& call) const
{
    static const auto defs = fields("NRFORMAPREPARO:D CODIGO:T10 NMFORMAPREPARO:T30");
    const char* const select = "SELECT NRFORMAPREPARO, CODIGO, NMFORMAPREPARO FROM FORMAPREPARO";
    if (call.text(0).trimmed() == u"T")
        return QVariant::fromValue(
            call.select(QStringLiteral("%1 ORDER BY NRFORMAPREPARO").arg(QLatin1String(select)), {}, defs));
    return QVariant::fromValue(call.select(QStringLiteral("%1 WHERE NRFORMAPREPARO = ?").arg(QLatin1String(select)),
                                           {call.integer(1)}, defs));
}

} // namespace appserver
