#include "escalareceita.h"

#include "appserver/errors.h"
#include "framework/core/consiste.h"
#include "framework/data/rowstore.h"
#include "lugarreceita.h"

#include <cmath>

namespace appserver {

namespace {

using namespace ingrediente;

constexpr Coluna quantidades[] = {Quantidade, QuantidadeEstoque, Bruta, Requisicao, QuantidadeNutriente};
constexpr Coluna percentuais[] = {GanhoCoccao, AprovCoccao, PerdaLimpeza, AprovLimpeza, AprovNutricional, PerdaDegelo};

} // namespace

EscalaReceita::EscalaReceita(double fator) : m_fator(fator)
{
    if (!std::isfinite(fator) || fator <= 0)
        throw Refusal(QStringLiteral("Fator de proporção inválido: %1.").arg(fator));
}

EscalaReceita EscalaReceita::percentual(double percentual)
{
    return EscalaReceita(framework::RoundDec(percentual, 2) / 100.0);
}

double EscalaReceita::quantidade(double valor) const { return framework::RoundDec(valor * m_fator, 5); }

void EscalaReceita::aplica(framework::RowStore& linhas, int linha) const
{
    for (Coluna coluna : quantidades)
        if (!linhas.isNull(linha, coluna))
            linhas.setDouble(linha, coluna, quantidade(linhas.number(linha, coluna)));
    for (Coluna coluna : percentuais)
        if (!linhas.isNull(linha, coluna))
            linhas.setDouble(linha, coluna, framework::RoundDec(linhas.number(linha, coluna), 2));
}

} // namespace appserver
