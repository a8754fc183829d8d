#pragma once

#include "framework/forms/frmpadraoarvplus.h"

#include <QString>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QTabWidget;
class QWidget;

namespace framework {
class ClientDataSet;
class DataSource;
class PanelFocus;
class Query;
class TBtnPesquisa;
class TDBComboBox;
class TMaskEdit;
class TMessages;
} // namespace framework

namespace server {
class Connection;
}

// The standard recipe maintenance form ("Prato", PLA01300): the dish tree beside the pages of
// the dish record and of the recipe levels, working on one branch at a time.
class TfrmReceitaPadrao : public framework::TfrmPadraoArvPlus {
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

    // Central selection of the menu-type page; getCentral also serves the companion forms.
    void sbtCentralClick();
    void medCdCentralChange();
    void medCdCentralExit();
    void VdCentral(bool required);
    void getCentral(const QString& code);

    // Query mode: the dish record and its panels can be read, not changed.
    void Desabilita();

    // --- Pages -------------------------------------------------------------------------------
    void pgcPadraoChange();
    void Habilita_Pagina(bool complete);
    void Habilita_NivelCompleto(const QString& code);
    void ShowColumns();
    QString PenultimoNivel(const QString& code) const;

    // Working branch: the branch every server call of the form is about.
    const QString& WorkingBranch() const { return m_filial; }
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

    framework::TDBComboBox* dcbPrato;

    QWidget* panTpCard;
    QLabel* lblCentral;
    framework::TMaskEdit* medCdCentral;
    QAction* sbtCentral;
    QLineEdit* edtNmCentral;
    framework::TMaskEdit* medCdTpCard;
    QLineEdit* edtNmTpCard;

    framework::ClientDataSet *cdsPrato, *cdsPratoAux, *cdsParamGeral, *cdsParamPlaneja, *cdsGerParamGeral,
        *cdsCentral, *cdsVerifProd;
    framework::ClientDataSet *cdsProdPrat, *cdsDadosPrat, *cdsReceTpCard, *cdsPratTpCard, *cdsReceFili,
        *cdsPratFili, *cdsReceServ, *cdsPratServ;
    framework::DataSource *dtsPrato, *dtsCentral;
    framework::Query *qryFilialPesq, *qryFilial, *qryParamGeral, *qryFiliCentAgreg;

protected:
    bool event(QEvent* event) override;

private:
    void createComponents();
    void createPages();
    void createBranchPanel();
    void createDataSets();
    void addMessages();
    void connectHandlers();

    QString nomeFilial(const QString& code);
    void carregaParamPlaneja(const QString& branch);
    void confirmaFilial();
    void ajustaCentralDaFilial();
    bool isCompleteLevel(const QString& code) const;
    QString treeCode() const;
    void setEnabledByName(const QStringList& names, bool enabled);

    QString m_filial;                  // working branch
    bool m_primeiraAtivacao = true;    // first activation still to come
    bool m_validaLinhas = false;       // per-row ingredient checks on
    QString m_stAtuProp;               // proportional-update state
    QString m_filialReceLoca;          // remembered keys of the loaded branch and service recipes
    QString m_filialReceServ, m_servicoReceServ;
    bool m_calculaPeso = false;        // the dish weight is being calculated
    bool m_propCalculada = false;      // proportional quantity computation running
    bool m_centralAgregada = false;    // the working branch belongs to a central
    framework::PanelFocus* m_panFiliPratoFocus = nullptr;
};
