#include "subpaginas.h"

#include "recipe/core/contextoreceita.h"
#include "paginanumerada.h"
#include "recipe/core/tabelapaginas.h"

#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/ui/guard.h"

#include <QAction>
#include <QSignalBlocker>
#include <QTabWidget>

namespace recipe {

PaginaNumerada& SubPaginas::visivel() const
{
    QWidget* shown = m_abas->currentWidget();
    for (PaginaNumerada* subPagina : m_subPaginas)
        if (subPagina->aba() == shown)
            return *subPagina;
    return *m_subPaginas.first();
}

void SubPaginas::registra(TabelaPaginas& tabela) const
{
    for (PaginaNumerada* subPagina : m_subPaginas) {
        Pagina pagina;
        pagina.tab = subPagina->aba();
        pagina.dataSet = subPagina->dataSet();
        pagina.fonte = subPagina->fonte();
        pagina.cabecalho = subPagina->cabecalho();
        pagina.regra(Comando::Incluir, [subPagina](const Pagina&) { subPagina->incluir(); });
        pagina.regra(Comando::Alterar, [subPagina](const Pagina&) { subPagina->alterar(); });
        pagina.regra(Comando::Excluir, [subPagina](const Pagina&) { subPagina->excluir(); });
        pagina.regra(Comando::Confirmar, [subPagina](const Pagina&) { subPagina->confirmar(); });
        pagina.regra(Comando::Cancelar, [subPagina](const Pagina&) { subPagina->cancelar(); });
        tabela.adiciona(pagina);
    }
}

void SubPaginas::mostra(int index, const std::function<void()>& mostrar) const
{
    const auto state = m_contexto.fonteComandos().State();
    if (state == framework::ClientDataSet::State::Edit || state == framework::ClientDataSet::State::Insert)
        return;
    m_contexto.mostraPagina(m_pagina);
    if (m_abas->currentWidget() != m_subPaginas[index]->aba())
        m_abas->setCurrentWidget(m_subPaginas[index]->aba());
    else
        mostrar();
}

void SubPaginas::ligaTroca(QObject* context, std::function<void()> mostrar)
{
    framework::guardedConnect(m_abas, &QTabWidget::currentChanged, context, [this, mostrar = std::move(mostrar)] {
        QWidget* leaving = m_anterior;
        for (PaginaNumerada* subPagina : m_subPaginas) {
            if (subPagina->aba() != leaving || !subPagina->editando())
                continue;
            try {
                subPagina->dataSet()->Post();
            } catch (...) {
                {
                    const QSignalBlocker block(m_abas);
                    m_abas->setCurrentWidget(leaving);
                }
                m_contexto.AtualizaBotoes(); // the toolbar is back on the sub-page shown
                throw;
            }
        }
        if (m_contexto.paginaVisivel() == m_pagina)
            mostrar();
    });
}

void SubPaginas::ligaMenus(QObject* context, const QList<QAction*>& menus, std::function<void()> mostrar)
{
    m_menus = menus;
    for (int i = 0; i < m_menus.size(); ++i) {
        m_menus[i]->setCheckable(true);
        // A checkable item checks itself when triggered, shown or not.
        framework::guardedConnect(m_menus[i], &QAction::triggered, context, [this, i, mostrar] {
            mostra(i, mostrar);
            marcaMenus();
        });
    }
}

void SubPaginas::marcaMenus() const
{
    const QWidget* shown = visivel().aba();
    for (int i = 0; i < m_menus.size() && i < m_subPaginas.size(); ++i)
        m_menus[i]->setChecked(m_subPaginas[i]->aba() == shown);
}

void SubPaginas::marcaVisivel()
{
    m_anterior = visivel().aba();
    marcaMenus();
}

} // namespace recipe
