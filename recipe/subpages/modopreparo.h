#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QLineEdit;
class QMenu;
class QToolButton;
class QTabWidget;
class QWidget;

namespace framework {
class Query;
class TDBEdit;
class TDBNavigator;
} // namespace framework

namespace recipe {

class BarraFormatacao;
class ContextoReceita;
class Enviador;
class PaginaPreparo;
class SubPaginas;
class TabelaPaginas;

// The preparation-mode page (tshModoPrep): the three level sub-pages of pgcModoPrep, the
// responsible-person panel with the mode number and the activation buttons, the file buttons,
// the formatting bar on the visible editor and the navigator between the dish's modes.
class ModoPreparo : public QObject {
    Q_OBJECT
public:
    // Fills in the page's named controls: the page (tshModoPrep) with its sub-pages (pgcModoPrep),
    // the pages menu that gets the sub-pages' items, the service sub-page's own item.
    ModoPreparo(ContextoReceita& contexto, QWidget& pagina, QTabWidget& abas, QMenu& menuPaginas,
                QAction& mnuModoServico);
    ~ModoPreparo() override;

    // The sub-pages as the toolbar works on them.
    void registra(TabelaPaginas& paginas);
    PaginaPreparo& visivel() const; // the sub-page shown

    // Shows the visible sub-page for the current dish: loads and filters its modes, points the
    // toolbar and the responsible-person panel at them. Runs on every sub-page change and when
    // the preparation page is shown.
    void pgcModoPrepChange();
    // The visible mode's activation state on the buttons and editors.
    void mostraAtivacao();

    void sbtAtivaClick();
    void sbtDesativaClick();
    void sbtSalvaClick();
    void mnuImpArquivoClick();
    void mnuImpModPrepReceClick();

private:
    void criaControles();
    void adicionaMensagens();
    void conecta();
    bool ativoOuIncluindo() const; // save and import work only there
    // mnuModoPadrao, mnuModoLocal and mnuModoServico, each showing its sub-page.
    QList<QAction*> criaMenus();
    void conectaSeletores();
    void medCdFiliPrepExit();

    ContextoReceita& m_contexto;
    QWidget& m_pagina;
    QTabWidget& m_abas;
    QMenu& m_menuPaginas;
    QAction& m_mnuModoServico;
    std::unique_ptr<Enviador> m_enviador;
    std::array<PaginaPreparo*, 3> m_paginas{};
    BarraFormatacao* m_barra = nullptr;
    framework::TDBEdit *m_dbeNrPrep = nullptr, *m_dbeNomeMod = nullptr;
    framework::TDBNavigator* m_dbnNavModPrep = nullptr;
    QToolButton *m_sbtAtiva = nullptr, *m_sbtDesativa = nullptr, *m_sbtSalva = nullptr, *m_sbtImpArquiv = nullptr;
    QMenu* m_pmnImporta = nullptr;
    QLineEdit* m_edtNmFiliPrep = nullptr;
    std::unique_ptr<SubPaginas> m_subPaginas;
};

} // namespace recipe
