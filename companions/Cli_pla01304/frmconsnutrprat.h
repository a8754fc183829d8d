#pragma once

#include "framework/forms/frmpadrparam.h"

class QLineEdit;

namespace framework {
class ClientDataSet;
class DataSource;
class TDBGrid;
class TMessages;
} // namespace framework

namespace server {
class Connection;
}

// "Consulta de Nutrientes" (PLA01304): the nutrients of one dish at one recipe level and its
// NDPCal percentage. Only reads data.
class TfrmConsNutrPrat : public framework::TfrmPadrParam {
    Q_OBJECT
public:
    explicit TfrmConsNutrPrat(QWidget* parent = nullptr);
    ~TfrmConsNutrPrat() override;

    void FormCreate() override;
    void FormActivate() override;
    void FormClose() override;

    // The branch the queries are made for: the recipe's branch, or the recipe form's working
    // branch when the recipe has none ("X").
    static QString filialEfetiva();

    framework::TMessages* msgPadrao;
    server::Connection* netConsNutrPrat;
    framework::ClientDataSet* cdsNutriente;
    framework::DataSource* dtsNutriente;
    QLineEdit* edtNmCentral;
    QLineEdit* edtNmTpCard;
    QLineEdit* edtNmFilial;
    QLineEdit* edtNmServico;
    QLineEdit* edtNmPrato;
    framework::TDBGrid* dbgNutriente;
    QLineEdit* nedNDPCPrat;

private:
    void createComponents();
    void mostraCabecalho();
    void abre();

    bool m_primeiraAtivacao = true;
};
