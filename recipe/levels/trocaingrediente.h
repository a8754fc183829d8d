#pragma once

#include <QString>
#include <functional>

namespace framework {
class ClientDataSet;
}

namespace recipe {

class ContextoReceita;
class PaginaReceita;

// The swap of the current ingredient of a revised recipe (menu type, branch or service) for one
// of its optional products, chosen in a search over the stock products among them. The choice
// is checked as a typed product is (inactive, without stock control, already in the recipe)
// before the server is asked; the server swaps it and answers the level's list, which the page
// shows in place of its own.
class TrocaIngrediente {
public:
    // Where the page's recipe is, as its header shows it.
    struct Escopo {
        QString filialStatus; // the branch the product's status is asked for
        QString filial;       // the recipe's branch
        QString servico;      // the service (service level)
        QString central, tipoCardapio; // the central and the menu type (menu-type level)
    };

    TrocaIngrediente(ContextoReceita& contexto, PaginaReceita& pagina, QString duplicado,
                     std::function<Escopo()> escopo);

    static void addMessages(ContextoReceita& contexto); // the search's texts and progress

    // sbtTrocaProdClick: nothing without a current product.
    void troca();

private:
    // The optional product chosen; false when none.
    bool escolhe();
    void valida() const;

    ContextoReceita& m_contexto;
    PaginaReceita& m_pagina;
    QString m_duplicado;
    std::function<Escopo()> m_escopo;
    framework::ClientDataSet* m_opcionais;
};

} // namespace recipe
