#pragma once

#include "framework/forms/frmpadrparam.h"

#include <memory>

class QKeyEvent;
class QPushButton;
class ReceitaPrevia;

namespace framework {
class ClientDataSet;
class TMessages;
} // namespace framework

namespace server {
class Connection;
}

namespace companions {
class FiltroServicos;
class GradeServicos;
class PainelNivel;
struct ConsultasNivel;
} // namespace companions

// "Percentual de Receitas por Serviço" (PLA01314): for one dish, the recipe of each chosen service
// of a branch as a percentage of an origin recipe (standard, menu type, branch or another
// service). The planner filters the services, marks those to change, gives each its origin and
// percentage, sees the recipe the row would give (or the one it has), and confirms every change
// at once; the server applies them (Pla01300.rdmReceitaPadrao, through the open recipe form's
// connection).
class TfrmPercentSobreReceita : public framework::TfrmPadrParam {
    Q_OBJECT
public:
    explicit TfrmPercentSobreReceita(QWidget* parent = nullptr);
    ~TfrmPercentSobreReceita() override;

    // The dish the form works on: its owner ("P" or the branch of a local dish) and code.
    void setPrato(const QString& cdFilAuxPrat, const QString& cdPrato);
    const QString& CdFilAuxPrat() const { return m_dono; }
    const QString& CdPrato() const { return m_prato; }
    const QString& ChavePrato() const { return m_chave; } // owner + "_" + code
    // Something was stored since the form opened: closing then answers OK (the recipe form
    // reads its service page again), otherwise Cancel.
    bool Aplicou() const { return m_aplicou; }

    void FormCreate() override;
    void FormActivate() override;
    // Closing with changes not confirmed asks "Cancel" first.
    void FormClose() override;
    // The form's keys are its controls' own (Enter does not move on).
    void FormKeyDown(QKeyEvent* event) override;
    void sbtConfirmaClick() override;
    void sbtCancelClick() override;
    void sbtCancelarClick(); // gives up the changes not confirmed

    // The services of the filter, loaded anew.
    void GetServicos();
    // The recipe beside the current service: none, the one it has, or the one its changes give.
    void GetReceitas();
    // The origin fields of the current row on (a marked service) or off.
    void HabilitacaoCamposReceita(bool habilitado);
    // Changes pending: confirm and give up on, the filter off; or the reverse.
    void HabilitaAlteracao(bool alterando);
    // A kind radio clicked: the row takes the kind (and is changed by it).
    void SetOrigem(const QString& tipo);
    // The origin of the current row as a whole, in the order the user reads it.
    void Vd_Origem();
    // Among the services changed in this operation: 'R' a service wanted as an origin must not be
    // one of them; 'A' a service to be changed must not be the origin of one of them.
    void Vd_ServicoAlteradoRequisitado(const QString& filial, const QString& servico, char modo);

    framework::TMessages* msgPadrao;
    server::Connection* netImpPrato;
    std::unique_ptr<companions::ConsultasNivel> consultas;
    std::unique_ptr<companions::FiltroServicos> filtro;
    std::unique_ptr<companions::GradeServicos> grade;
    std::unique_ptr<companions::PainelNivel> origem;
    std::unique_ptr<ReceitaPrevia> receita;
    framework::ClientDataSet* cdsServicosValidacao;
    QPushButton* sbtCancelar;

private:
    void createComponents();
    void criaMensagens();
    void declaraCampos();
    void ligaEventos();
    void primeiraAtivacao();
    QString campo(const char* nome) const;
    bool marcado() const;
    // The current row names every code its origin's kind needs.
    bool origemNomeada() const;
    // The current row shown: its origin's radio and fields, and its recipe.
    void mostraLinha();
    void aoMarcar(bool marcado);
    void antesEditar();
    void verificaLinha();
    void aposCliqueOrigem();
    void HabilitaCentral();
    void carregaServicos();
    void entraFiltro();

    QString m_dono, m_prato, m_chave;
    bool m_primeiraAtivacao = true;
    bool m_alterando = false;
    bool m_aplicou = false;
};
