#pragma once

#include <QString>

class TfrmReceitaPadrao;

namespace recipe {

// The working branch's hold on the form's branch selectors (branch and service pages,
// preparation and photo sub-pages) and the block of revising a local recipe without a
// standard one.
class FilialTrabalho {
public:
    explicit FilialTrabalho(TfrmReceitaPadrao& form) : m_form(form) {}

    // Entering the working-branch panel: every branch selector starts over.
    void limpaSeletores() const;
    // Locks (tag 99) or frees (tag 0) every branch selector: label, code and lookup.
    void Desabilita_Filial(bool lock) const;
    // Selectors that are empty, locked by Desabilita_Filial, or in a branch module take the
    // working branch (a selector disabled for another reason keeps its own); a
    // service selector whose branch was replaced keeps its service only when the working branch
    // has it.
    void Atualiza_FiliProc() const;
    // Before a local revision of a standard-tree dish (IDBLOPRATLOC "S"): fails with BloRecLoc
    // while the dish has no standard recipe.
    void BloPratLoc() const;

private:
    TfrmReceitaPadrao& m_form;
};

} // namespace recipe
