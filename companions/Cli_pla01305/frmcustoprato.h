#pragma once

#include "framework/forms/frmpadrparam.h"

#include <QColor>
#include <QVariant>

class QComboBox;
class QLineEdit;
class QStackedWidget;

namespace framework {
class ClientDataSet;
class DataSource;
class Query;
class TDBGrid;
class TDateEdit;
class TMessages;
class TShape;
struct TCellPaint;
} // namespace framework

namespace server {
class Connection;
}

// "Consulta de Custo" (PLA01305): what each ingredient of a dish costs at one recipe level, the
// dish's cost per person, and the share of that cost in products in season. Only reads data.
class TfrmCustoPrato : public framework::TfrmPadrParam {
    Q_OBJECT
public:
    explicit TfrmCustoPrato(QWidget* parent = nullptr);
    ~TfrmCustoPrato() override;

    void FormCreate() override;
    void FormActivate() override;
    void FormClose() override;
    void sbtConfirmaClick() override; // "Calcular"

    // The dish's figures for the chosen cost type and reference date.
    void Calcular();
    void cdsProdutoCalcFields();
    void dbgProdutoDrawColumnCell(framework::TCellPaint& cell) const;

    // The cost type chosen at opening: the first of the first five named "Custo de Cotação
    // (Lista de Preços)", else the first.
    static int tipoCustoPadrao(const QStringList& tipos);
    // The season class of a pattern (one character per month, January first) in a month (1-12);
    // null when the pattern has no digit there.
    static QVariant classeSafra(const QString& padrao, int mes);
    // The share of the cost in products in season, those at the start of the season counting half.
    static double percentualSafra(double total, double inicioSafra, double safra);

    framework::TMessages* msgPadrao;
    server::Connection* netCustoPrato;
    server::Connection* netCustProd;
    framework::ClientDataSet* cdsProduto;
    framework::ClientDataSet* cdsSinaSafra;
    framework::DataSource* dtsProduto;
    framework::Query* qryParamPlaneja;

    QStackedWidget* pgcCabecalho;
    QWidget* tshFilialServico;
    QWidget* tshCentralTpCard;
    QLineEdit* edtNmFilial;
    QLineEdit* edtNmServico;
    QLineEdit* edtNmCentral;
    QLineEdit* edtNmTpCard;
    QLineEdit* edtNmPrato;
    QComboBox* cboTipoCusto;
    framework::TDateEdit* depDtReferencia;
    framework::TDBGrid* dbgProduto;
    QLineEdit* nedCustoPerc;
    QLineEdit* nedPeSafra;
    framework::TShape* shpSafraCard;

private:
    void createComponents();
    void createDataSets();
    QWidget* createHeader();
    void mostraCabecalho();
    void carregaTiposCusto();
    void abreParamPlaneja();
    QColor corParametro(const char* campo) const;
    void validaDataReferencia();

    bool m_primeiraAtivacao = true;
    QColor m_corSwatch; // the swatch's colour before any season signal painted it
};
