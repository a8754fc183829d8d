#pragma once

#include "framework/data/clientdataset.h"

#include <QList>
#include <QString>

class QAction;
class QObject;
class QWidget;

namespace framework {
class DataSource;
class TDBEdit;
class TDBNavigator;
class TDBCheckBox;
} // namespace framework

namespace recipe {

// A component the rules enable: a menu item (with the toolbar button that shows it) or a widget.
class Alvo {
public:
    Alvo() = default;
    explicit Alvo(QObject* component);
    void setEnabled(bool enabled) const;
    bool isEnabled() const;

private:
    QAction* m_action = nullptr;
    QWidget* m_widget = nullptr;
};

// The enabling rules of the recipe form's commands, pages' headers and controls, in one place.
// Every component they name is looked up once, when the rules are made; a name the form lacks
// throws framework::Error naming it.
class RegrasHabilitacao {
public:
    explicit RegrasHabilitacao(QObject& form);

    // What the rules look at. B browsing, E editing or inserting, N rows, M tree match, Q query mode.
    struct Situacao {
        framework::ClientDataSet::State estado = framework::ClientDataSet::State::Inactive;
        bool linhas = false;        // N
        // An ingredient list holding posted rows not yet sent: they can be confirmed or
        // cancelled as an edit can.
        bool pendente = false;
        bool consulta = false;      // Q
        bool prato = false;         // the source is the dish record's (cdsPrato)
        bool arvoreConfere = false; // M
        bool paginaReceita = false; // one of the four recipe pages is active
        bool modoPreparo = false;   // the preparation-mode page is active
        bool moduloP = false;       // ModuloAtiv 'P'
        bool moduloFilial = false;  // branch module
        bool trocaProduto = false;  // the product swap's own conditions (see the page change)
        bool selecionaCentral = false; // IDPERMSELCENTRALPLA "S"
    };

    // The state rules, run at every state change of the page's source.
    void Habilita_Desabilita(const Situacao& s) const;
    // After page loads and tree moves: the maintenance commands from a flag instead of the state.
    void Habilita_Botoes(const Situacao& s, bool enabled) const;
    // The controls only a dish at the last level of the code has.
    void Habilita_NivelCompleto(bool complete) const;
    // Leaves every command disabled (a page the toolbar does not know).
    void desabilitaComandos() const;
    // Detaches the preparation-mode and photo edits and navigators from their data.
    void Limpa_Componentes() const;
    // After the last row of a list was cancelled: the selectors of the list's page come back
    // (the branch's only outside a branch module).
    void habilitaSeletores(const framework::ClientDataSet& list, bool moduloFilial) const;

    // Every component name the rules use.
    static QStringList nomes();

private:
    void comandos(bool incluir, bool alterar, bool procurar, bool confirmar) const;
    void dependentes(const Situacao& s, bool importa, bool nutrientes, bool trocaProduto) const;

    Alvo incluir, alterar, excluir, procurar, verificar, cancelar, confirmar;
    Alvo importa, nutrientes, sbtNutrientes;
    QList<Alvo> calculaPeso;
    QList<Alvo> custoEFerramentas; // mnuCusto, mnuImportFator, mnuCalculadora, mnuRevQtde
    QList<Alvo> utilizacaoProduto; // mnuUtProdRece, sbtUtProdRece
    QList<Alvo> trocaProduto;      // mnuTrocaProd, sbtTrocaProd
    QList<Alvo> produtoProducao;
    QList<Alvo> cabecalhos;        // page header panels
    QList<Alvo> central;           // lblCentral, medCdCentral, sbtCentral
    Alvo edtNmCentral;
    Alvo sbtSalva, sbtDesativa, sbtAtiva, lblNomeRes;
    QList<QWidget*> formatacao;    // the first fourteen buttons of fpnReceita
    Alvo sbtAbrirFto;
    QList<Alvo> fotoAjuste;        // dbcAjustaFto, sbtAtivaFto, sbtDesativaFto
    Alvo dbeCdPrato, lblCdPrato, panFiliPrato;
    QList<Alvo> nivelCompleto;
    struct Seletores {
        QString lista;
        QList<Alvo> sempre;     // enabled in any module
        QList<Alvo> foraFilial; // enabled outside a branch module
    };
    QList<Seletores> seletores;
    framework::TDBEdit *dbeNrPrep = nullptr, *dbeNomeMod = nullptr, *dbeNrFoto = nullptr;
    framework::TDBCheckBox* dbcAjustaFto = nullptr;
    framework::TDBNavigator *dbnNavModPrep = nullptr, *dbnNavFoto = nullptr;
};

} // namespace recipe
