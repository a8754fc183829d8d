#pragma once

#include "formbase.h"

class QAction;
class QMenu;
class QMenuBar;
class QSplitter;
class QTimer;
class QToolBar;
class QToolButton;

namespace framework {

class ClientDataSet;
class DataSource;
class TDBTree;

// The maintenance form with a code tree: the tree dbaPadrao on the left, the page area
// panPrincipal on the right (derived forms put their pages there), the toolbar and the menu
// mnuManutencao whose commands act on the dataset of the data source dtsPadrao.
//
// Each command is a menu action (mnuIncluir ...) shown by a toolbar button (sbtIncluir ...):
// enabling the action enables both. The idle timer timIdle and every state change of dtsPadrao
// run AtualizaBotoes. The command handlers are virtual; the defaults work on any dataset.
class TfrmPadraoArvPlus : public TfrmBase {
    Q_OBJECT
public:
    explicit TfrmPadraoArvPlus(QWidget* parent = nullptr);
    ~TfrmPadraoArvPlus() override;

    void FormCreate() override; // starts timIdle
    void FormClose() override;  // asks "Sair" while dtsPadrao has an unposted edit; stops timIdle

    // Commands.
    virtual void sbtIncluirClick();   // Append
    virtual void sbtAlterarClick();   // Edit
    virtual void sbtExcluirClick();   // "Excl" asked, then Delete
    virtual void sbtConfirmarClick(); // Post
    virtual void sbtCancelarClick();  // "Canc" asked, then Cancel
    virtual void sbtProcurarClick();  // search over the tree's dataset; the tree follows
    virtual void sbtVerificarClick(); // rebuilds the tree from its dataset
    virtual void sbtImprimirClick() {}
    virtual void sbtSairClick();      // closes the form

    // Enables the commands from dtsPadrao's state: Incluir while browsing, Alterar, Excluir,
    // Procurar and Verificar while browsing a dataset with rows, Confirmar and Cancelar while
    // editing or inserting.
    virtual void AtualizaBotoes();

    // Components, by the names the forms use.
    QMenuBar* mnuPrincipal;
    QMenu* mnuManutencao;
    QAction *mnuIncluir, *mnuAlterar, *mnuExcluir, *mnuProcurar, *mnuVerificar, *mnuCancelar, *mnuConfirmar;
    QToolBar* tlbPadrao;
    QToolButton *sbtIncluir, *sbtAlterar, *sbtExcluir, *sbtProcurar, *sbtVerificar, *sbtCancelar, *sbtConfirmar,
        *sbtImprimir, *sbtSair;
    QSplitter* splPadrao;
    TDBTree* dbaPadrao;
    QWidget* panPrincipal;
    DataSource* dtsPadrao;
    QTimer* timIdle;

protected:
    ClientDataSet& dataSetPadrao() const; // dtsPadrao's open dataset; fails with a message when none

private:
    QAction* command(const QString& name, const QString& caption, void (TfrmPadraoArvPlus::*handler)());
    QToolButton* button(const QString& name, QAction* action, int icon);
};

} // namespace framework
