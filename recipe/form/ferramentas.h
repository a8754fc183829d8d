#pragma once

#include <array>
#include <memory>

class TfrmReceitaPadrao;

namespace recipe {

class ImportaFator;
class PaginaReceita;
class ProdutoProducao;
class TrocaIngrediente;

// The recipe menu's tools that work through the server on the page shown: the swap of an
// ingredient for an optional product (Ctrl+G, menu-type, branch and service pages), the import
// of the registered cleaning loss (Ctrl+P), and each level's production product.
class Ferramentas {
public:
    explicit Ferramentas(TfrmReceitaPadrao& form);
    ~Ferramentas();

    void sbtTrocaProdClick();   // on the standard page, nothing
    void sbtImportFatorClick();

private:
    PaginaReceita* paginaMostrada() const; // the ingredient page of the recipe page shown

    TfrmReceitaPadrao& m_form;
    std::array<std::unique_ptr<TrocaIngrediente>, 4> m_trocas; // by Level; none for the standard
    std::unique_ptr<ImportaFator> m_importaFator;
    std::array<ProdutoProducao*, 3> m_produtos{}; // standard, branch, service (owned by their panels)
};

} // namespace recipe
