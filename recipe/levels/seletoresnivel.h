#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLineEdit;
class QWidget;

namespace framework {
class ClientDataSet;
class PanelFocus;
class Query;
class TMaskEdit;
} // namespace framework

namespace recipe {

class ContextoReceita;
class PainelPrato;
class Validacao;

// The selector panels of the level pages: the branch page's (panFilial: medCdFilial), the
// service page's (panServico: medCdFiliServ, medCdServico) and the menu-type page's (panTpCard:
// medCdTpCard of the central). While a panel has the focus its page shows nothing that could be
// edited; leaving it loads and shows the chosen recipe, and a level record without a fancy name
// takes the standard one (created and sent at once when the level has none).
class SeletoresNivel : public QObject {
    Q_OBJECT
public:
    // The headers' components, as the form made them.
    struct Componentes {
        QWidget *panFilial, *panServico, *panTpCard;
        framework::TMaskEdit *medCdFilial, *medCdFiliServ, *medCdServico, *medCdCentral, *medCdTpCard;
        QLineEdit* edtNmTpCard;
        framework::Query* qryTipoCard;
        // The three levels' ingredient lists, the standard dish data (where the fancy name comes
        // from) and the standard page that loads it.
        framework::ClientDataSet *cdsReceFili, *cdsReceServ, *cdsReceTpCard, *cdsDadosPrat;
        QWidget* tshPadrao;
        // The central of the menu-type page, checked before its menu type (required or not).
        std::function<void(bool required)> validaCentral;
    };

    SeletoresNivel(ContextoReceita& contexto, Componentes componentes, PainelPrato& filial, PainelPrato& servico,
                   PainelPrato& tpCard);
    ~SeletoresNivel() override;

    void medCdFilialExit();
    // The service's dish data needs a branch and a service.
    void panDadPratServEnter();
    // Validates the branch and service without requiring them, then the service: fails with
    // SERV_EMPTY (focus on the service) when it is empty.
    void exigeServico();
    // The menu type of the central: TPCARD_EMPTY when required and empty, TPCARD_NCAD when the
    // central has no such menu type; shows its name.
    void Vd_CdTipoCard(bool required);

    QLineEdit* edtNmFilialLoc() const { return m_nmFilial; }
    QLineEdit* edtNmFiliServ() const { return m_nmFiliServ; }
    QLineEdit* edtNmServico() const { return m_nmServico; }

private:
    void panFilialExit();
    void panServicoExit();
    void panTpCardExit();
    void medCdFiliServExit();
    void ligaTpCard();
    void esvazia(framework::ClientDataSet& lista, PainelPrato& painel);
    void filtra(framework::ClientDataSet& lista, PainelPrato& painel);
    void herdaNomeFantasia(PainelPrato& painel);
    void validaServico(bool required);

    ContextoReceita& m_contexto;
    Componentes m_c;
    PainelPrato& m_filial;
    PainelPrato& m_servico;
    PainelPrato& m_tpCard;
    std::unique_ptr<Validacao> m_validacao;
    QLineEdit *m_nmFilial = nullptr, *m_nmFiliServ = nullptr, *m_nmServico = nullptr;
    framework::PanelFocus *m_panFilial = nullptr, *m_panServico = nullptr, *m_panTpCard = nullptr;
};

} // namespace recipe
