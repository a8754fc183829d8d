#pragma once

#include <QObject>
#include <array>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QToolButton;
class QMenu;
class QTabWidget;
class QWidget;

namespace framework {
class TDBCheckBox;
class TDBEdit;
class TDBNavigator;
} // namespace framework

namespace recipe {

class ContextoReceita;
class Enviador;
class PaginaFoto;
class SubPaginas;
class TabelaPaginas;

// The photo page (tshFoto): the three level sub-pages of pgcFoto with their image controls, the
// branch and service selectors, and the common bar panMnuFto (state label, activation buttons,
// "Abrir Foto", the fit box, the photo number) with the navigator between the dish's photos.
class FotoPrato : public QObject {
    Q_OBJECT
public:
    // Fills in the page's named controls: the page (tshFoto) with its sub-pages (pgcFoto) and the
    // pages menu that gets the sub-pages' items.
    FotoPrato(ContextoReceita& contexto, QWidget& pagina, QTabWidget& abas, QMenu& menuPaginas);
    ~FotoPrato() override;

    // The sub-pages as the toolbar works on them.
    void registra(TabelaPaginas& paginas);
    PaginaFoto& visivel() const; // the sub-page shown

    // Shows the visible sub-page for the current dish: loads and filters its photos, points the
    // toolbar and the bar at them. Runs on every sub-page change and when the photo page is shown.
    void pgcFotoChange();
    // The visible photo's state on the label, the buttons and the image controls.
    void mostraEstado();

    void sbtAtivaFtoClick();
    void sbtDesativaFtoClick();
    // Opens a JPEG or bitmap file into the visible photo; a deactivated photo only beeps.
    void sbtAbrirFtoClick();
    void dbcAjustaFtoClick();

private:
    void criaControles();
    void adicionaMensagens();
    void conecta();
    void conectaSeletores();
    // mnuFotoPadrao, mnuFotoLocal, mnuFotoServico in the pages menu.
    QList<QAction*> criaMenus();
    void medCdFiliFtoExit();

    ContextoReceita& m_contexto;
    QWidget& m_pagina;
    QTabWidget& m_abas;
    QMenu& m_menuPaginas;
    std::unique_ptr<Enviador> m_enviador;
    std::array<PaginaFoto*, 3> m_paginas{};
    QLabel* m_lblAtivDesat = nullptr;
    framework::TDBEdit* m_dbeNrFoto = nullptr;
    framework::TDBCheckBox* m_dbcAjustaFto = nullptr;
    framework::TDBNavigator* m_dbnNavFoto = nullptr;
    QToolButton *m_sbtAtivaFto = nullptr, *m_sbtDesativaFto = nullptr, *m_sbtAbrirFto = nullptr;
    QLineEdit* m_edtNmFiliFto = nullptr;
    std::unique_ptr<SubPaginas> m_subPaginas;
    bool m_paginasTravadas = false;   // the other pages were locked for an edit
};

} // namespace recipe
