#pragma once

#include "framework/forms/frmpadrparam.h"

#include <memory>

class QGroupBox;
class QRadioButton;

namespace framework {
class TMessages;
}

namespace server {
class Connection;
}

namespace companions {
class FaixaPratos;
class GradePratos;
class PainelNivel;
struct ConsultasNivel;
} // namespace companions

class QuantidadePessoa;

// "Revisão Automática de Receitas" (PLA01309): copies the recipes of chosen dishes of a range
// from one recipe level (the origin) to another (the destination), adding to or replacing the
// destination's, optionally at a new quantity per person. The copy is the server's
// (Pla01309.rdmImpPrato); the form reads the open recipe form's branch, central list and
// authorisation connection.
class TfrmImpPrato : public framework::TfrmRotiGeral {
    Q_OBJECT
public:
    explicit TfrmImpPrato(QWidget* parent = nullptr);
    ~TfrmImpPrato() override;

    void FormCreate() override;
    void FormActivate() override;
    void FormClose() override;
    void sbtConfirmaClick() override;

    // Origin and destination radios, as the user clicks them.
    void rdbOrigemClick();
    void rdbDestinoClick();
    // Sets the central fields of both sides after any radio click.
    void HabilitaCentral();
    // Entering the dish grid (and after the final dish's search): checks the origin and loads
    // the grid when it is empty.
    void dbgPadraoEnter();
    // The checks of each side, in their order; each gives its level letter.
    QString Vd_Origem();
    QString Vd_Destino();

    framework::TMessages* msgPadrao;
    server::Connection* netImpPrato;
    std::unique_ptr<companions::ConsultasNivel> consultas;
    std::unique_ptr<companions::PainelNivel> origem, destino;
    std::unique_ptr<companions::FaixaPratos> pratos;
    std::unique_ptr<companions::GradePratos> grade;
    std::unique_ptr<QuantidadePessoa> quantidade;
    QGroupBox* rdgTpImport;
    QRadioButton *rdbAcrescentar, *rdbSobrepor;

    int TipoImportacao() const; // rdgTpImport's item index: 0 add, 1 replace

private:
    void createComponents();
    void primeiraAtivacao();
    // Pending grid edits dropped and the grid emptied: the origin or the range changed.
    void descartaGrade();

    bool m_primeiraAtivacao = true;
};
