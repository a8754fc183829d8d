#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLineEdit;
class TfrmReceitaPadrao;

namespace framework {
class ClientDataSet;
class PanelFocus;
} // namespace framework

namespace recipe {

class PainelPrato;
class Validacao;

// The selector panels of the branch page (panFilial: medCdFilial) and of the service page
// (panServico: medCdFiliServ, medCdServico). While a panel has the focus its page shows
// nothing that could be edited; leaving it loads and shows the chosen branch's or service's
// recipe, and a level record without a fancy name takes the standard one (created and sent at
// once when the level has none).
class SeletoresNivel : public QObject {
    Q_OBJECT
public:
    SeletoresNivel(TfrmReceitaPadrao& form, PainelPrato& filial, PainelPrato& servico);
    ~SeletoresNivel() override;

    void panFilialEnter();
    void medCdFilialExit();
    void panFilialExit();
    void panServicoEnter();
    void medCdFiliServExit();
    void panServicoExit();
    // The service's dish data needs a branch and a service.
    void panDadPratServEnter();
    // Validates the branch and service without requiring them, then the service: fails with
    // SERV_EMPTY (focus on the service) when it is empty.
    void exigeServico();

    QLineEdit* edtNmFilialLoc() const { return m_nmFilial; }
    QLineEdit* edtNmFiliServ() const { return m_nmFiliServ; }
    QLineEdit* edtNmServico() const { return m_nmServico; }

private:
    void esvazia(framework::ClientDataSet& lista, PainelPrato& painel);
    void filtra(framework::ClientDataSet& lista, PainelPrato& painel);
    // The standard fancy name into the level's record, created when it has none.
    void herdaNomeFantasia(PainelPrato& painel, const QString& branch, const QString& service);
    void validaServico(bool required);

    TfrmReceitaPadrao& m_form;
    PainelPrato& m_filial;
    PainelPrato& m_servico;
    std::unique_ptr<Validacao> m_validacao;
    QLineEdit *m_nmFilial = nullptr, *m_nmFiliServ = nullptr, *m_nmServico = nullptr;
    framework::PanelFocus *m_panFilial = nullptr, *m_panServico = nullptr;
};

} // namespace recipe
