#pragma once

#include "companions/common/filtrosrelatorio.h"
#include "framework/forms/frmdadosgerrel.h"

class QLabel;
class QRadioButton;
class QStackedWidget;

namespace framework {
class ClientDataSet;
class DataSource;
class Query;
class TMessages;
} // namespace framework

namespace server {
class Connection;
}

// "Receitas por Produto" (PLA05500, report code "PLA055"): the recipes that use the products of a
// range at one recipe level, optionally restricted to a branch grouping, chosen branches and
// chosen services. The form checks the filters and gives the report its parameters.
class TfrmReceProd : public framework::TfrmDadosGerRel {
    Q_OBJECT
public:
    explicit TfrmReceProd(QWidget* parent = nullptr);
    ~TfrmReceProd() override;

    void FormCreate() override;
    void FormActivate() override;
    void FormClose() override;
    void FormKeyDown(QKeyEvent* event) override;

    void ValidaImpressao(bool required) override;
    void AtribuiParametros(framework::ReportParams& params) override;

    void rdbNivelClick();
    void rbtFilialClick();
    void rbtServicoClick();
    void medCdGrupoChange();
    void btnFilialClick();
    void btnServicoClick();

    void vd_AgrupFili();
    void vd_Filial();
    void Vd_CdProd(framework::TMaskEdit* field, bool required);
    void Vd_CdTipoCard(bool required);
    void Vd_CdServFili();

    QString IdTipoRece() const; // "P", "F", "S" or "T"
    QString ListaFilial() const { return m_listaFilial; }
    QString ListaServico() const { return m_listaServico; }
    // The branches the report covers, as its L_FILIAL parameters take them.
    QString TextoFiliais();

    framework::TMessages* msgPadrao;
    server::Connection* netReceitaProd;
    QRadioButton *rdbPadrao, *rdbLocal, *rdbServico, *rdbTpCard;
    companions::LinhaCodigo produtoIni, produtoFin, grupo, filial, central, tipoCard;
    framework::TMaskEdit *medCdProdIni, *medCdProdFin, *medCdGrupo, *medCdFilial, *medCdCentral, *medCdTpCard;
    QStackedWidget *nbkFiltro, *ntbFilial;
    QRadioButton *rbtTodosFili, *rbtListaFili, *rbtTodosServ, *rbtListaServ;
    QPushButton *btnFilial, *btnServico;
    QLabel* lblServico;
    framework::ClientDataSet *cdsAgrupFili, *cdsFilial, *cdsServico, *cdsProduto;
    framework::Query *qryVdProduto, *qryProduto, *qryProdutoCache, *qryParamGeral, *qryModuFili, *qryFilial,
        *qryFiliCentAgreg, *qryTipoCard;

private:
    void createData();
    void createComponents();
    void connectHandlers();
    void carregaAgrupamentos();
    framework::Query& fonteProdutos(); // the product list after IDCACHPRODFI, (re)opened
    void mostraPagina(QStackedWidget* notebook, const QString& page);

    QString m_listaFilial;
    QString m_listaServico;
};
