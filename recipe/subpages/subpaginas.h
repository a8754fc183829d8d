#pragma once

#include <QList>
#include <functional>

class QAction;
class QObject;
class QTabWidget;
class QWidget;

namespace recipe {

class ContextoReceita;
class PaginaNumerada;
class TabelaPaginas;

// The level sub-pages (standard, branch, service) of a page of the recipe form that keeps
// numbered dish records, on their tab widget: which one is shown, their toolbar rules, the menu
// items that show one, and the post of what the sub-page being left edits.
class SubPaginas {
public:
    SubPaginas(ContextoReceita& contexto, QWidget* pagina, QTabWidget* abas)
        : m_contexto(contexto), m_pagina(pagina), m_abas(abas)
    {
    }

    void adiciona(PaginaNumerada* subPagina) { m_subPaginas << subPagina; }
    const QList<PaginaNumerada*>& todas() const { return m_subPaginas; }
    PaginaNumerada& visivel() const; // the sub-page shown (the first when none is)

    // Each sub-page's commands in the page table.
    void registra(TabelaPaginas& tabela) const;
    // The menu items that show each sub-page (in the sub-pages' order), checked on the one shown:
    // an item shows the page at its sub-page, unless the toolbar's dataset is being edited;
    // showing the shown one again runs mostrar.
    void ligaMenus(QObject* context, const QList<QAction*>& menus, std::function<void()> mostrar);
    // Leaving a sub-page posts what it edits; when that post fails the sub-page stays. After a
    // change, mostrar runs while the page is shown.
    void ligaTroca(QObject* context, std::function<void()> mostrar);
    // The sub-page shown is the one the next change leaves, and its menu item is checked.
    void marcaVisivel();

private:
    void mostra(int index, const std::function<void()>& mostrar) const;
    void marcaMenus() const;

    ContextoReceita& m_contexto;
    QWidget* m_pagina;
    QTabWidget* m_abas;
    QList<PaginaNumerada*> m_subPaginas;
    QList<QAction*> m_menus;
    QWidget* m_anterior = nullptr;
};

} // namespace recipe
