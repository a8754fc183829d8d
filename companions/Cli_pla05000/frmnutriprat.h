#pragma once

#include "companions/common/filtrosrelatorio.h"
#include "framework/forms/frmdadosgerrel.h"

class QButtonGroup;
class QGroupBox;
class QRadioButton;
class QSpinBox;
class QStackedWidget;

namespace framework {
class Query;
class TMessages;
} // namespace framework

// "Nutrientes do Prato" (PLA05000, report code "Pla050"): the nutrients of the recipes of a range
// of dishes at one recipe level. The form checks the filters and gives the report its parameters;
// its lookups are direct SQL.
class TfrmNutriPrat : public framework::TfrmDadosGerRel {
    Q_OBJECT
public:
    explicit TfrmNutriPrat(QWidget* parent = nullptr);

    void FormCreate() override;
    void FormActivate() override;

    void ValidaImpressao(bool required) override;
    void AtribuiParametros(framework::ReportParams& params) override;

    // Level radios, ordering and nutrient choice, as the user clicks them.
    void rdbNivelClick();
    void rdgDadosOperadorClick();
    void rdbNutriClick();
    void btnPesqNutriClick();

    // Field checks; leaving a field runs them not required.
    void Vd_CdFilial(bool required);
    void Vd_CdServFili(bool required);
    void Vd_CdTipoCard(bool required);
    void Vd_CdPrato(framework::TMaskEdit* field, bool required);
    void Vd_Impressao(bool required);
    void vd_MontaNutri();

    QString IdTipoRece() const; // "P", "F", "S" or "T" after the level radio
    int ItemIndexOrdenacao() const;
    int NivelMaximo() const { return m_nivelMaximo; }
    bool ModeloMacro() const; // the chosen layout is the "02" one

    framework::TMessages* msgPadrao;
    QRadioButton *rdbPadrao, *rdbLocal, *rdbServico, *rdbTpCard;
    QStackedWidget* nbkFiltro;
    companions::LinhaCodigo filial, servico, central, tipoCard, pratoIni, pratoFin;
    framework::TMaskEdit *medCdFilial, *medCdServFili, *medCdCentral, *medCdTpCard, *medCdPratoIni, *medCdPratoFin;
    QGroupBox* rdgDadosOperador;
    QSpinBox* speNivel;
    QRadioButton *rdbNutrtodos, *rdbNutrLista;
    QPushButton* btnPesqNutri;
    framework::Query *qryFilial, *qryServico, *qryPrato, *qryFiliCentAgreg, *qryTipoCard, *qryNutriente, *qryParamGeral;

private:
    void createComponents();
    void createQueries();
    void connectHandlers();
    void primeiraAtivacao();
    QString filialPrato() const; // P_CDFILAUXPRAT of the dish checks and lookups

    QButtonGroup* m_ordenacao = nullptr;
    int m_nivelMaximo = 0;
    bool m_primeiraAtivacao = true;
};
