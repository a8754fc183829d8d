#include "tabelapaginas.h"

#include "framework/data/clientdataset.h"
#include "framework/ui/messages.h"

#include <QWidget>

namespace recipe {

bool Pagina::contem(const QWidget* widget) const
{
    return widget && tab && (widget == tab || tab->isAncestorOf(widget));
}

void TabelaPaginas::adiciona(Pagina pagina)
{
    m_paginas.append(std::move(pagina));
}

const Pagina* TabelaPaginas::pagina(const QWidget* tab) const
{
    for (const Pagina& p : m_paginas)
        if (p.tab == tab)
            return &p;
    return nullptr;
}

bool TabelaPaginas::permite(const QWidget* tab, Comando comando) const
{
    const Pagina* p = pagina(tab);
    return p && p->regras[static_cast<int>(comando)];
}

void TabelaPaginas::executa(const Pagina* p, Comando comando) const
{
    if (!p || !p->regras[static_cast<int>(comando)])
        framework::MensErro(QStringLiteral("Este comando não está disponível nesta página."));
    p->regras[static_cast<int>(comando)](*p);
}

const Pagina* TabelaPaginas::ativa(const QWidget* aba, const QWidget* foco) const
{
    if (!aba)
        return nullptr;
    const Pagina* propria = pagina(aba);
    const Pagina *editada = nullptr, *comAlteracoes = nullptr;
    for (const Pagina& p : m_paginas) {
        if (p.dentroDe != aba)
            continue;
        if (p.contem(foco))
            return &p;
        if (!editada && editando(p.dataSet))
            editada = &p;
        if (!comAlteracoes && pendente(p.dataSet))
            comAlteracoes = &p;
    }
    // The commands stay with what is being typed; with the focus out of the tab (the tree, the
    // toolbar) also with a change the server refused.
    if (propria && editando(propria->dataSet))
        return propria;
    if (editada)
        return editada;
    if (comAlteracoes && !(foco && aba->isAncestorOf(foco)))
        return comAlteracoes;
    return propria;
}

bool TabelaPaginas::selecionando(const Pagina& pagina, const QWidget* foco)
{
    return foco && pagina.cabecalho && (foco == pagina.cabecalho || pagina.cabecalho->isAncestorOf(foco));
}

bool TabelaPaginas::editando(const framework::ClientDataSet* dataSet)
{
    using State = framework::ClientDataSet::State;
    return dataSet && (dataSet->state() == State::Edit || dataSet->state() == State::Insert);
}

bool TabelaPaginas::pendente(const framework::ClientDataSet* dataSet)
{
    return editando(dataSet) || (dataSet && dataSet->Active() && dataSet->ChangeCount() > 0);
}

QList<const Pagina*> TabelaPaginas::pendentes() const
{
    QList<const Pagina*> found;
    for (const Pagina& p : m_paginas)
        if (pendente(p.dataSet))
            found << &p;
    return found;
}

} // namespace recipe
