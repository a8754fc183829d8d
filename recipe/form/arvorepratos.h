#pragma once

#include <QString>

class TfrmReceitaPadrao;

namespace framework {
class TDBTree;
struct TTreeNode;
} // namespace framework

namespace recipe {

struct Pagina;

// The dish tree's events on the recipe form: moves refused while changes wait for Confirmar,
// what a node reached enables, the mark of local dishes, and Delete refused in query mode.
class ArvorePratos {
public:
    // Installs the handlers on the form's tree dbaPadrao.
    explicit ArvorePratos(TfrmReceitaPadrao& form);

    // Once the tree holds dishes, another node may not be chosen while a page of the form edits
    // or holds changes not yet sent; one out of sight is named to the user.
    void dbaPadraoChanging(const framework::TTreeNode& node, bool& allowChange) const;
    // After the move: the record's commands and controls follow the node's level; a group
    // shows the dish record page; the container list stays only while its grid has the focus.
    void dbaPadraoChange(const framework::TTreeNode& node) const;
    // A local dish at the last level carries image 1; standard dishes and groups none (-1).
    static int dbaPadraoGetImageIndex(const framework::TTreeNode& node);
    // Each optional column of the four ingredient grids, and its field, is shown while its
    // planning flag (cdsParamPlaneja, loaded by the form) is not "N"; the menu-type list has no
    // anticipation or requisition columns at all.
    void ShowColumns() const;
    // In query mode the Delete key is swallowed (key set to 0).
    static void dbaPadraoKeyDown(int& key);

private:
    QString titulo(const Pagina& page) const; // "Foto / Local", ...

    TfrmReceitaPadrao& m_form;
};

} // namespace recipe
