#pragma once

#include <functional>

namespace framework {
class ClientDataSet;
class TMessages;
} // namespace framework

namespace recipe {

class ContextoReceita;
class PaginaReceita;

// The import of the products' registered cleaning loss into the ingredient list of the recipe
// page shown (sbtImportFator, Ctrl+P): for every row of the dish or the current one, as the user
// answers. Each row is posted through the page's own checks and recomputation; the list's change
// log then goes to the server in one send. A row that fails stops the run; the rows imported
// before it stay in the log for Confirmar.
class ImportaFator {
public:
    // paginaAtiva: the ingredient page of the recipe page shown; nullptr elsewhere.
    ImportaFator(ContextoReceita& contexto, std::function<PaginaReceita*()> paginaAtiva);

    static void addMessages(framework::TMessages& messages);

    void sbtImportFatorClick();

private:
    void importa(PaginaReceita& pagina, bool todos) const;
    void importaLinha(PaginaReceita& pagina) const;

    ContextoReceita& m_contexto;
    std::function<PaginaReceita*()> m_paginaAtiva;
};

} // namespace recipe
