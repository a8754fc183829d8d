#pragma once

#include "recipe/core/contextoreceita.h"

#include "framework/forms/frmpadraoarvplus.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QTabWidget;
class QToolButton;
class QWidget;

namespace framework {
class ClientDataSet;
class DataSource;
class PanelFocus;
class Query;
class TBtnPesquisa;
class TDBGrid;
class TMaskEdit;
class TMessages;
class TShape;
} // namespace framework

namespace recipe {
class ArvorePratos;
class ContainerPrato;
class ConversaoUnidade;
class Ferramentas;
class Lancadores;
struct Companheiros;
class Enviador;
class FilialTrabalho;
class FotoPrato;
class PaginaReceita;
class PainelPrato;
class RegistroPrato;
class SeletoresNivel;
class ModoPreparo;
class RegrasHabilitacao;
class TabelaPaginas;
enum class Level;
struct LevelFields;
struct Pagina;
} // namespace recipe

namespace server {
class Connection;
}

// The standard recipe maintenance form ("Prato", PLA01300): the dish tree beside the pages of
// the dish record and of the recipe levels, working on one branch at a time.
class TfrmReceitaPadrao : public framework::TfrmPadraoArvPlus, public recipe::ContextoReceita {
    Q_OBJECT
public:
    explicit TfrmReceitaPadrao(QWidget* parent = nullptr);
    ~TfrmReceitaPadrao() override;

    // --- Opening and closing ---------------------------------------------------------------
    void FormCreate() override;
    void FormActivate() override;
    void FormClose() override;
    void FormResize();

    // The branch panel: leaving the code validates it, leaving the panel confirms the branch.
    void panFiliPratoEnter();
    void medCdFilial_panExit();
    void panFiliPratoExit();
    void btnFilialClick();
    // The working branch's hold on the branch selectors of the pages (filialtrabalho.h).
    void Desabilita_Filial(bool lock);
    void Atualiza_FiliProc();
    // Before a local revision of a standard-tree dish: refused while it has no standard recipe.
    void BloPratLoc();

    // Central selection of the menu-type page; getCentral also serves the companion forms.
    void sbtCentralClick();
    void medCdCentralChange();
    void medCdCentralExit();
    void VdCentral(bool required);
    void getCentral(const QString& code);

    // Query mode: the dish record and its panels can be read, not changed.
    void Desabilita();

    // --- Pages -------------------------------------------------------------------------------
    // Before the page changes: posts what the page being left is editing; throws to stay there.
    void pgcPadraoChanging(QWidget* leaving);
    // After it changed: the toolbar follows the new page, whose recipe data is loaded by group.
    void pgcPadraoChange();
    // Every move in the dish tree.
    void dtsPratoDataChange();
    void Habilita_Pagina(bool complete) override;
    void Habilita_NivelCompleto(const QString& code) override;
    // The enabling rules (regrashabilitacao.h) for a data source of the active page.
    void Habilita_Desabilita(framework::DataSource* source) override;
    void Habilita_Botoes(framework::DataSource* source, bool enabled) override;
    void Limpa_Componentes() override;
    // Loads the page's list and dish data for the current dish's group, reusing what is loaded
    // unless forced; filters both to the dish.
    void carregaLista(const recipe::Pagina& page, bool force) override;
    // After a cancel on one of the four ingredient lists.
    void RecAfterCancel(framework::ClientDataSet& list);
    void ShowColumns();

    // --- Toolbar commands ---------------------------------------------------------------------
    // Each runs the rule of the active page in the page table; a page the table does not know
    // refuses them all.
    void sbtIncluirClick() override;
    void sbtAlterarClick() override;
    void sbtExcluirClick() override;
    void sbtConfirmarClick() override; // posts every dataset being edited, in creation order
    void sbtCancelarClick() override;
    void sbtProcurarClick() override;
    void sbtVerificarClick() override;
    void sbtImprimirClick() override; // the reports' popup
    // Habilita_Desabilita with the active page's source.
    void AtualizaBotoes() override;

    // --- What the pieces use of the form (contextoreceita.h) ---------------------------------
    server::Connection& servidor() const override { return *netReceitaPadrao; }
    server::Connection& autorizador() const override { return *netAutoriza; }
    framework::TMessages& mensagens() const override { return *msgPadrao; }
    framework::ClientDataSet& parametrosGerais() const override { return *cdsParamGeral; }
    framework::ClientDataSet& parametrosPlanejamento() const override { return *cdsParamPlaneja; }
    framework::Query& parametrosLocais() const override { return *qryParamGeral; }
    framework::ClientDataSet& produtosVerificados() const override { return *cdsVerifProd; }
    framework::Query& filiais() const override { return *qryFilial; }
    framework::Query& servicos() const override { return *qryServico; }
    framework::Query& conversoes() const override { return *qryConvProduto; }
    framework::ClientDataSet& pratos() const override { return *cdsPrato; }
    QString grupo(const QString& code) const override;
    QString codigoArvore() const override;
    void sincronizaArvore() override;
    // Working branch: the branch every server call of the form is about.
    const QString& filialTrabalho() const override { return m_filial; }
    bool consulta() const override;
    framework::ClientDataSet& carregaPratosDaFilial() override;
    // The pages the toolbar works on, with the rule of each command.
    const recipe::TabelaPaginas& paginas() const override { return *m_paginas; }
    QWidget* paginaVisivel() const override;
    void mostraPagina(QWidget* tab) override;
    void atualizaPagina() override { pgcPadraoChange(); }
    framework::DataSource& fonteComandos() const override { return *dtsPadrao; }
    QAction& comando(recipe::Comando comando) const override;
    void confirma() override { sbtConfirmarClick(); }
    void procuraNaArvore() override { TfrmPadraoArvPlus::sbtProcurarClick(); }
    QTimer& inatividade() const override { return *timIdle; }
    QWidget& janela() override { return *this; }
    // F12 to the page's selector, Ctrl+Enter to confirm (and go on inserting), product code
    // columns keep their text against Delete and Backspace.
    void FormKeyDown(QKeyEvent* event) override;

    // --- Dish record (tshFormulario) ---------------------------------------------------------
    // Its components, rules and checks (registroprato.h).
    recipe::RegistroPrato& Registro() const { return *m_registro; }

    // The dish data panel of a level (painelprato.h): standard, branch and service.
    recipe::PainelPrato& PainelDados(recipe::Level level) const;
    // Dish colours of the standard dish data, picked on the shapes of the standard page.
    void shpCorPrincipalMouseUp();
    void shpCorSecundariaMouseUp();
    void shpCorAuxiliarMouseUp();
    // Dish weight: the ingredient quantities of the active recipe page in the dish's unit,
    // stored as the portion weight of the page's dish data once the user confirms.
    void sbtCalcPadraoClick();

    // --- Standard ingredient list (paginareceita.h) ---------------------------------------------
    recipe::PaginaReceita& PaginaPadrao() const;
    void dbgProdPratColEnter();
    void dbgProdPratColExit();
    void dbgProdPratEditButtonClick();
    void dbgProdPratExit();
    void cdsProdPratBeforePost();
    void cdsProdPratAfterPost();
    void Atualiza_Proporcional();
    // Rescales the ingredients of the level whose list that is; lists without a page are left alone.
    void Calcula_Qtde_Prop_Pessoa(framework::ClientDataSet& list, double factor);

    // --- Branch, service and menu-type ingredient lists (paginas_niveis.cpp) -------------------
    recipe::PaginaReceita& PaginaNivel(recipe::Level level) const;
    // True when the revised recipe of a standard dish is locked on the branch or service page:
    // IDBLOALTRELO "S" for the page's branch and the operator's group not allowed (GetParamGrup).
    // With raise set on a level page, a locked recipe shows why and aborts.
    bool BloqAltRecLo(bool raise);
    // The menu type of the central: TPCARD_EMPTY when required and empty, TPCARD_NCAD when the
    // central has no such menu type; shows its name.
    void Vd_CdTipoCard(bool required);

    // The companion forms the menus and toolbar open (lancadores.h), connected by the module.
    recipe::Companheiros& companheiros() const;

    // Set by other modules: the next activation reloads the active page's recipe data.
    bool Recarregar = false;

    // --- Components ------------------------------------------------------------------------
    framework::TMessages* msgPadrao;
    server::Connection* netReceitaPadrao;
    server::Connection* netAutoriza;

    QWidget* panFiliPrato;
    QLabel* lblNmFilial;
    framework::TMaskEdit* medCdFilial_pan;
    framework::TBtnPesquisa* btnFilial;
    QLineEdit* edtNmFilial;

    QTabWidget* pgcPadrao;
    QWidget *tshFormulario, *tshPadrao, *tshTpCard, *tshReceLoca, *tshReceServ, *tshModoPrep, *tshFoto;
    QTabWidget* pgcModoPrep;
    QWidget *tshFolhaDados, *tshPrepPad, *tshPrepFil, *tshPrepSer;
    QTabWidget* pgcFoto;
    QWidget *tshFotoPad, *tshFotoFil, *tshFotoSer;

    QMenu* mnuPaginas;
    QAction *mnuFormulario, *mnuPadrao, *mnuTpCard, *mnuLocal, *mnuServico, *mnuModoPrep, *mnuFoto;
    QAction *mnuModoServico, *mnuPercentual;

    // The recipe pages: ingredient lists, dish data and the page headers' selectors.
    framework::DataSource *dtsProdPrat, *dtsReceTpCard, *dtsReceFili, *dtsReceServ;
    framework::DataSource *dtsDadosPrat, *dtsPratTpCard, *dtsPratFili, *dtsPratServ;
    framework::TDBGrid *dbgProdPrat, *dbgReceTpCard, *dbgReceFili, *dbgReceServ;
    QWidget *panFilial, *panServico;
    framework::TMaskEdit *medCdFilial, *medCdFiliServ, *medCdServico;

    // Standard dish colours and the dish weight buttons of the four recipe pages.
    framework::TShape *shpCorPrincipal, *shpCorSecundaria, *shpCorAuxiliar;
    QToolButton *sbtCalcPadrao, *sbtCalcTC, *sbtCalcPratLoca, *sbtCalcServ;

    framework::ClientDataSet* cdsParamPrato; // planning parameters of a level page's branch
    framework::Query* qryTipoCard;
    QWidget* panTpCard;
    QLabel* lblCentral;
    framework::TMaskEdit* medCdCentral;
    QAction* sbtCentral;
    QLineEdit* edtNmCentral;
    framework::TMaskEdit* medCdTpCard;
    QLineEdit* edtNmTpCard;

    framework::ClientDataSet *cdsPrato, *cdsParamGeral, *cdsParamPlaneja, *cdsGerParamGeral,
        *cdsCentral, *cdsVerifProd;
    framework::ClientDataSet *cdsProdPrat, *cdsDadosPrat, *cdsReceTpCard, *cdsPratTpCard, *cdsReceFili,
        *cdsPratFili, *cdsReceServ, *cdsPratServ;
    framework::DataSource *dtsPrato, *dtsCentral;
    framework::Query *qryFilialPesq, *qryFilial, *qryParamGeral, *qryFiliCentAgreg;
    framework::Query *qryServico, *qryConvProduto;

protected:
    bool event(QEvent* event) override;

private:
    // Each page with the menu item that shows it.
    QList<std::pair<QAction*, QWidget*>> pageMenuItems() const;
    void createComponents();
    void createPages();
    void createBranchPanel();
    void createDataSets();
    void addMessages();
    void connectHandlers();
    void createRegistroPrato();
    void createPesoECores();
    void connectRegistroPrato();
    void createPaginasReceita();
    void createMenuReceita();
    void createPaginasPendentes();
    void registraPaginas();
    void registraPaineis();
    void registraSeletores();
    void connectCicloEdicao();
    void criaPaginaPadrao();
    void criaPaginasNiveis();
    // The page's branch (and service, or the menu type), checked before a row changes.
    void validaSeletores(const recipe::LevelFields& level);
    // Entering a level's grid: its selectors, its branch's planning parameters, the product swap.
    void entraGradeNivel(const recipe::LevelFields& level);
    void carregaParamPrato(const QString& branch);
    void criaDadosPrato();

    // Edit cycle (ciclo_edicao.cpp, carga_paginas.cpp).
    const recipe::Pagina* paginaAtiva() const;
    // The page the toolbar works on: the visible sub-page on the preparation-mode and photo
    // pages, the container grid while it is the active control of the dish-record page.
    QWidget* abaComandos() const;
    void verificaPrato();
    void incluiLista(const recipe::Pagina& page);
    void alteraLista(const recipe::Pagina& page);
    void excluiLista(const recipe::Pagina& page);
    void cancelaLista(const recipe::Pagina& page);
    void procuraLista(const recipe::Pagina& page);
    void verificaLista(const recipe::Pagina& page);
    // Confirmar of a recipe page: its list goes to the server through the one sender.
    void enviaLista(const recipe::Pagina& page);
    // Closing with changes on some page: every one posted and sent (throws, leaving the form
    // open, when one cannot be), or every one given up.
    void confirmaPendentes();
    void descartaPendentes();
    void carregaPaginaReceita(const recipe::Pagina& page);
    QStringList escopo(const recipe::LevelFields& level) const;
    bool trocaProdutoPermitida() const;
    void atualizaTrocaProduto(); // mnuTrocaProd and its button follow trocaProdutoPermitida

    double pesoDaLista(framework::ClientDataSet& list, const recipe::LevelFields& level);

    QString nomeFilial(const QString& code);
    [[noreturn]] void falha(const char* key, QWidget* control = nullptr) const;
    void carregaParamPlaneja(const QString& branch);
    void confirmaFilial();
    void ajustaCentralDaFilial();

    std::unique_ptr<recipe::ConversaoUnidade> m_conversao;
    QString m_filial;                  // working branch
    bool m_primeiraAtivacao = true;    // first activation still to come
    bool m_validaLinhas = false;       // per-row ingredient checks on
    QString m_stAtuProp;               // proportional-update state
    // What each level's list holds: its group of dishes and its keys (central and menu type,
    // branch, or branch and service), by recipe::Level.
    struct Carregado {
        QString grupo;
        QStringList escopo;
    };
    std::array<Carregado, 4> m_carregado;
    QWidget* m_paginaAtual = nullptr;  // the page pgcPadraoChanging is leaving
    bool m_retornoModal = false;       // the window lost the focus to one of its own dialogs
    bool m_atualizandoBotoes = false;  // AtualizaBotoes is running
    QMetaObject::Connection m_seguirFoco; // the toolbar follows the focus into panels and grids
    QList<framework::ClientDataSet*> m_datasets; // the form's datasets, in creation order
    QHash<QWidget*, QList<QWidget*>> m_seletores; // F12's selectors of each page
    std::unique_ptr<recipe::TabelaPaginas> m_paginas;
    std::unique_ptr<recipe::Enviador> m_enviador;
    std::unique_ptr<recipe::RegrasHabilitacao> m_regras;
    std::unique_ptr<recipe::ArvorePratos> m_arvore;
    std::unique_ptr<recipe::Lancadores> m_lancadores;
    std::unique_ptr<recipe::Ferramentas> m_ferramentas; // swap, cleaning-loss import, production product
    std::array<std::unique_ptr<recipe::PaginaReceita>, 4> m_paginasNivel; // by recipe::Level
    std::array<recipe::PainelPrato*, 4> m_paineis{}; // by recipe::Level
    recipe::SeletoresNivel* m_seletoresNivel = nullptr;
    recipe::RegistroPrato* m_registro = nullptr;
    std::unique_ptr<recipe::FilialTrabalho> m_filialTrabalho;
    recipe::ModoPreparo* m_modoPreparo = nullptr; // the preparation-mode page
    recipe::ContainerPrato* m_containers = nullptr; // the dish's containers on the record page
    recipe::FotoPrato* m_fotos = nullptr;         // the photo page
    bool m_propCalculada = false;      // proportional quantity computation running
    bool m_centralAgregada = false;    // the working branch belongs to a central
    framework::PanelFocus* m_panFiliPratoFocus = nullptr;
};
