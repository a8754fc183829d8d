#pragma once

#include <QList>
#include <array>
#include <functional>

class QWidget;

namespace framework {
class ClientDataSet;
class DataSource;
} // namespace framework

namespace recipe {

struct LevelFields;

// The toolbar's maintenance commands.
enum class Comando { Incluir, Alterar, Excluir, Procurar, Verificar, Confirmar, Cancelar };
constexpr int comandos = 7;

// A page of the recipe form as the toolbar sees it: the dataset its commands act on, the data
// source the toolbar follows there, its recipe level (recipe pages only) with the level's dish
// data, and the rule of each command. A command without a rule is refused on that page.
//
// A page may live inside a tab (a level's dish-data panel, the container grid): tab is then the
// widget that holds it and dentroDe the tab it is on.
struct Pagina {
    QWidget* tab = nullptr;
    QWidget* dentroDe = nullptr;
    framework::ClientDataSet* dataSet = nullptr;
    framework::DataSource* fonte = nullptr;
    const LevelFields* nivel = nullptr;
    framework::ClientDataSet* dadosPrato = nullptr;
    // The header where the page's branch, service or menu type is chosen: while it has the
    // focus the page shows nothing that could be edited and its commands stay off.
    QWidget* cabecalho = nullptr;
    std::array<std::function<void(const Pagina&)>, comandos> regras;

    void regra(Comando comando, std::function<void(const Pagina&)> rule)
    {
        regras[static_cast<int>(comando)] = std::move(rule);
    }
    bool contem(const QWidget* widget) const; // the widget is the page's holder or inside it
};

// The pages the toolbar works on. A page the table does not know refuses every command: nothing
// ever falls back to another page's dataset.
class TabelaPaginas {
public:
    void adiciona(Pagina pagina);
    const Pagina* pagina(const QWidget* tab) const; // nullptr when the table does not know it
    const QList<Pagina>& paginas() const { return m_paginas; }
    bool permite(const QWidget* tab, Comando comando) const;
    // Runs the command's rule of the page; refused with a message when there is none (or no page).
    void executa(const Pagina* pagina, Comando comando) const;

    // The page the toolbar works on while aba (a tab or the sub-page shown) is shown and foco
    // has the focus: a page inside the tab while the focus is in it; else the page whose dataset
    // is being edited (the tab's own first); with the focus outside the tab, one inside it that
    // holds changes; otherwise the tab's own page.
    const Pagina* ativa(const QWidget* aba, const QWidget* foco) const;
    // Whether the page's header has the focus.
    static bool selecionando(const Pagina& pagina, const QWidget* foco);

    static bool editando(const framework::ClientDataSet* dataSet); // in edit or insert
    // A dataset being edited, or holding posted changes the server has not taken yet.
    static bool pendente(const framework::ClientDataSet* dataSet);
    // The pages whose dataset is pending, in the table's order.
    QList<const Pagina*> pendentes() const;

private:
    QList<Pagina> m_paginas;
};

} // namespace recipe
