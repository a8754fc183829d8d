#pragma once

#include <QList>
#include <functional>

class QObject;
class QTabWidget;
class QWidget;
class TfrmReceitaPadrao;

namespace recipe {

class PaginaNumerada;
class TabelaPaginas;

// The level sub-pages (standard, branch, service) of a page of the recipe form that keeps
// numbered dish records, on their tab widget: which one is shown, their toolbar rules, the menu
// items that show one, and the post of what the sub-page being left edits.
class SubPaginas {
public:
    SubPaginas(TfrmReceitaPadrao& form, QWidget* pagina, QTabWidget* abas) : m_form(form), m_pagina(pagina), m_abas(abas)
    {
    }

    void adiciona(PaginaNumerada* subPagina) { m_subPaginas << subPagina; }
    const QList<PaginaNumerada*>& todas() const { return m_subPaginas; }
    PaginaNumerada& visivel() const; // the sub-page shown (the first when none is)

    // Each sub-page's commands in the page table.
    void registra(TabelaPaginas& tabela) const;
    // A menu item's sub-page: the page at that sub-page, unless the toolbar's dataset is being
    // edited; showing it again runs mostrar.
    void mostra(int index, const std::function<void()>& mostrar) const;
    // Leaving a sub-page posts what it edits; when that post fails the sub-page stays. After a
    // change, mostrar runs while the page is shown.
    void ligaTroca(QObject* context, std::function<void()> mostrar);
    // The sub-page shown is the one the next change leaves.
    void marcaVisivel();

private:
    TfrmReceitaPadrao& m_form;
    QWidget* m_pagina;
    QTabWidget* m_abas;
    QList<PaginaNumerada*> m_subPaginas;
    QWidget* m_anterior = nullptr;
};

} // namespace recipe
