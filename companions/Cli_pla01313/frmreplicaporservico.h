#pragma once

#include "framework/forms/frmpadrparam.h"

#include <memory>

class QKeyEvent;

namespace framework {
class ClientDataSet;
class TMessages;
} // namespace framework

namespace server {
class Connection;
}

namespace companions {
class FaixaPratos;
class FiltroServicos;
class GradePratos;
class GradeServicos;
class PainelNivel;
struct ConsultasNivel;
} // namespace companions

// "Replicação de Receitas por Serviço" (PLA01313): the recipes of the chosen dishes of a range,
// taken from one origin recipe (standard, menu type, branch or a service), become the service
// recipes of the chosen services of a branch, each at its own percentage. The dishes come from
// Pla01309.rdmImpPrato; the services and the replication go through the open recipe form's
// connection (Pla01300.rdmReceitaPadrao).
class TfrmReplicaPorServico : public framework::TfrmPadrParam {
    Q_OBJECT
public:
    explicit TfrmReplicaPorServico(QWidget* parent = nullptr);
    ~TfrmReplicaPorServico() override;

    void FormCreate() override;
    void FormActivate() override;
    void FormClose() override;
    // The form's keys are its controls' own (Enter does not move on).
    void FormKeyDown(QKeyEvent* event) override;
    void sbtConfirmaClick() override;

    // Entering the dish grid (and after the final dish's search): the origin checked and the
    // dishes loaded, unless the grid holds them already with the user's marks.
    void dbgPadraoEnter();
    // Entering the services grid (and after a group's search with the branch given): the
    // filter checked and its services loaded, unless the grid holds them already.
    void dbgServicosEnter();
    // The origin's checks in their order; gives its level letter.
    QString Vd_Origem();
    // Rows marked now in each grid.
    int PratosMarcados() const;
    int ServicosMarcados() const;
    // The marked dishes' keys as the server reads them: 'owner_dish', ... in grid order, a
    // quote inside a key doubled.
    QString ListaPratos() const;

    framework::TMessages* msgPadrao;
    server::Connection* netImpPrato;
    std::unique_ptr<companions::ConsultasNivel> consultas;
    std::unique_ptr<companions::PainelNivel> origem;
    std::unique_ptr<companions::FaixaPratos> pratos;
    std::unique_ptr<companions::GradePratos> gradePratos;
    std::unique_ptr<companions::FiltroServicos> filtro;
    std::unique_ptr<companions::GradeServicos> gradeServicos;

private:
    void createComponents();
    void criaMensagens();
    void ligaEventos();
    void primeiraAtivacao();
    void HabilitaCentral();
    // The origin or the range changed: the dishes loaded are no longer theirs.
    void descartaPratos();
    // Shows the dishes the server left out; true when there were any.
    bool mostraNaoProcessados(const QVariant& resultado);

    bool m_primeiraAtivacao = true;
};
