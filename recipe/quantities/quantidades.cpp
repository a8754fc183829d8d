#include "quantidades.h"
#include "conversaounidade.h"

#include "framework/core/consiste.h"

namespace recipe {

namespace {

double fatorCocao(const Fatores& f) { return f.cocao / 100 + 1; }

QString unidadeDaLinha(const Ingrediente& ingrediente)
{
    const QString unidade = ingrediente.unidade.trimmed();
    return unidade.isEmpty() ? ingrediente.unidadeEstoque.trimmed() : unidade;
}

} // namespace

double brutaDaLiquida(double liquida, const Fatores& f)
{
    return liquida / fatorCocao(f) / (1 - f.limpeza / 100) / (1 - f.degelo / 100);
}

double liquidaDaBruta(double bruta, const Fatores& f)
{
    return bruta * (1 - f.degelo / 100) * (1 - f.limpeza / 100) * fatorCocao(f);
}

double baseNutriente(double requisicao, const Fatores& f)
{
    return (1 - f.limpeza / 100) * ((1 - f.degelo / 100) * requisicao);
}

double QuantidadeUnidade::emUnidade(const Ingrediente& ingrediente, const QString& destino, double quantidade) const
{
    const QString origem = unidadeDaLinha(ingrediente);
    const QString estoque = ingrediente.unidadeEstoque.trimmed();
    const QString para = destino.trimmed();
    if (origem == para)
        return quantidade;
    double convertida = m_conversao.ConverteUnidade(ingrediente.produto, origem, para, quantidade);
    // No direct conversion: through the product's own unit.
    if (convertida == 0 && origem != estoque)
        convertida = m_conversao.ConverteUnidade(
            ingrediente.produto, estoque, para, m_conversao.ConverteUnidade(ingrediente.produto, origem, estoque, quantidade));
    return convertida;
}

double QuantidadeUnidade::requisicao(const Ingrediente& ingrediente, double bruta) const
{
    const QString origem = unidadeDaLinha(ingrediente);
    return framework::RoundDec(
        m_conversao.ConverteUnidade(ingrediente.produto, origem, ingrediente.unidadeEstoque, bruta), 5);
}

} // namespace recipe
