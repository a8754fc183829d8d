#include "tabelapaginas.h"

#include "framework/ui/messages.h"

namespace recipe {

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

void TabelaPaginas::executa(const QWidget* tab, Comando comando) const
{
    if (!permite(tab, comando))
        framework::MensErro(QStringLiteral("Este comando não está disponível nesta página."));
    const Pagina& p = *pagina(tab);
    p.regras[static_cast<int>(comando)](p);
}

} // namespace recipe
