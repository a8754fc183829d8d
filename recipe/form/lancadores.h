#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QMenu;
class QToolButton;
class QWidget;
class TfrmReceitaPadrao;

namespace framework {
class ClientDataSet;
class TDBGrid;
class TMaskEdit;
} // namespace framework

namespace recipe {

// The package's companion forms as the recipe form opens them. The module entry connects the
// ones it holds; one not connected tells the user it is not available yet.
struct Companheiros {
    // The texts in the order of the creation function's arguments: 11 for the nutrition query,
    // 12 for the cost query.
    std::function<void(const QStringList& args)> CriaNutrPrat;
    std::function<void(const QStringList& args)> CriaCustoPrato;
    std::function<int()> CriaNutriPrat;  // nutrients of the dishes (report)
    std::function<int()> MostraReceProd; // recipes by product (report)
    std::function<void(const QString& level)> CriaImportacaoPrato; // review of recipes
    std::function<int()> CriaReplicaPorServico;                      // modal result, 1 OK
    // The last replication left out dishes the form named: it did not end wholly successful.
    std::function<bool()> ReplicaDeixouPratos;
    std::function<int(const QString& cdFilAuxPrat, const QString& cdPrato)> CriaPercentualdeReceita;
};

// The recipe form's popup menus and what its menus and toolbar open: the companion forms with
// the current dish and the active page's level, and the host's modules through LoadBPL.
class Lancadores {
public:
    // Creates the popups and the toolbar buttons they belong to, and connects every launcher.
    explicit Lancadores(TfrmReceitaPadrao& form);

    Companheiros companheiros;

    // Import and review of recipes (pmnImpRecPrat).
    void sbtImportaClick();
    void pmnReceitaClick(); // host module PLA01301, then the page is read again
    void pmnPratoClick();
    // Reports (pmnRelatorio).
    void sbtImprimirClick();
    void mnuPratoClick();               // PLA01303
    void mnuNutriPratoClick();
    void PratoxReceitaUtilizada1Click(); // PLA05400
    void ReceitasporProduto1Click();
    void sbtUtProdReceClick();          // PLA01308
    // Queries of the current dish at the active page's level.
    void sbtNutrientesClick();
    void sbtCustoClick();
    // Tools (pmnCalculadora) and the service recipes' replication and percentage (pmnPercentual).
    void sbtCalculadoraClick();
    void pmnFatorAjusteClick(); // PLA01306 changes the page's list in place
    void pmnRevQtdeClick();     // PLA01311, then the page is confirmed and read again
    void sbtPercentualClick();
    void pmnReplicarPorServicoClick();
    void pmnPercentualSobreReceitaClick();

private:
    QMenu* popup(const char* name, std::initializer_list<std::pair<const char*, const char*>> items);
    QAction* item(const char* name) const;
    void abreAbaixo(QMenu* menu, QWidget* button) const;
    // Shows that the routine is not available yet and aborts when the hook is not connected.
    void disponivel(bool connected, const char* routine) const;

    // The checks the import and the review share on the standard page.
    void recusaPadrao() const;
    // A level page before an import: the revised-recipe lock, the page's branch checked and named,
    // and the local revision block while the list is empty.
    void validaNivel(framework::TDBGrid& grid, framework::TMaskEdit& branch, const char* nameEdit) const;
    void validaServico(bool required) const;
    void recarregaServico() const; // the service page, when showing, is read again
    QString prato(const char* field) const;
    QString nome(const char* edit) const;
    // The ingredient list of the recipe page shown (the toolbar may be on its dish data).
    framework::ClientDataSet* listaDaPagina() const;

    TfrmReceitaPadrao& m_form;
    QMenu *m_pmnImpRecPrat = nullptr, *m_pmnRelatorio = nullptr, *m_pmnPercentual = nullptr,
          *m_pmnCalculadora = nullptr;
    QToolButton *m_sbtImporta = nullptr, *m_sbtCalculadora = nullptr, *m_sbtPercentual = nullptr;
};

} // namespace recipe
