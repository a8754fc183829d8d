#pragma once

#include "recipe/core/levelfields.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QWidget;

namespace framework {
class ClientDataSet;
class DataSource;
class Field;
class TDBCheckBox;
class TDBComboBox;
class TDBEdit;
class TMaskEdit;
class TMessages;
class TShape;
} // namespace framework

namespace recipe {

class ContextoReceita;
class Enviador;
class Validacao;
struct TransporteNivel;

// The names of a level's dish-data panel and controls. A control with an empty name does not
// exist on that level, and neither does the field it edits (the menu type keeps no cook-chill,
// storage, origin, household measure or production product).
struct ControlesPrato {
    QString panel;            // panDadosPrat, ...
    QString progressKey;      // text shown while the record is sent (upd_cdsDadosPrat, ...)
    QString shapes[3];        // principal, secondary, auxiliary colour
    QString qtyPerPerson, qtyPerContainer, sample, minPercent, fancyName;
    QString cookChill;        // check box of IDPRODCHILL
    QString anticipation, anticipationLabel;
    QString storage, storageLabel; // combo of IDTPPRODCHILL
    QString finalOrigin;      // "Matriz"/"Filial" combo
    QString production;       // code edit of the production product (CDARVPROD)
    QString status;           // combo of IDATIVO
    QString mediCaseCode, mediCaseButton, mediCaseName, mediCaseQty;
};

// The names of each level's panel and controls.
const ControlesPrato& controlesPrato(Level level);

// Adds the texts the dish-data panels show to the form's message list.
void addPainelPratoMessages(framework::TMessages& messages);

// The dish-data panel of one recipe level: declares the level's dish-data fields, lays out (or
// finds, when the form already made them) the controls that edit them, and runs the record's
// events: the blocks on alteration, defaults, the checks and conversions before a post, and
// the sending of every post and deletion at once, with the list of the fields left null.
//
// Driven by the level's LevelFields::DishData and ControlesPrato: a level with fewer fields
// gets fewer controls from the same code.
class PainelPrato : public QObject {
    Q_OBJECT
public:
    // What the level adds to the common rules.
    struct Regras {
        // BeforeInsert / BeforeEdit after the query-mode block (which is common); throwing aborts.
        std::function<void()> antesIncluir, antesAlterar;
        // The supervisor of a new record or of a change to the saved one, asked before the post
        // that keeps it: asked as the edit begins, on the first key typed, the prompt would take
        // the keys typed after it. The number of changes it covers is the record's and, when the
        // quantity per person rescales the rows, theirs. False refuses: the record goes back to
        // what it holds.
        std::function<bool(int changes)> autorizaInclusao, autorizaAlteracao;
        // Step "keys" of BeforePost: the level's own keys (branch, service) into the record.
        std::function<void(framework::ClientDataSet& dados)> chaves;
        // Before a colour is picked; false leaves the shape alone.
        std::function<bool()> antesCor;
        // The level's branch, service or menu type, required before any change of its record
        // (throws when missing or unknown).
        std::function<void()> exigeSeletores;
        // The ingredient list rescaled by the quantity-per-person question, and the rescaling of
        // its rows by a factor.
        framework::ClientDataSet* lista = nullptr;
        std::function<void(double factor)> reescala;
    };

    // Works on the level's dish data and data source, which the form made with the level's names;
    // lays out its controls on the level's page.
    PainelPrato(ContextoReceita& contexto, const LevelFields& level, const ControlesPrato& names, QWidget* page,
                framework::ClientDataSet& dados, framework::DataSource& fonte, Regras regras);
    ~PainelPrato() override;

    const LevelFields& nivel() const { return m_nivel; }
    framework::ClientDataSet& dados() const { return *m_dados; }
    framework::DataSource& fonte() const { return *m_fonte; }
    QWidget* painel() const { return m_painel; }

    // The check of the transport edits (quantity per container, sample, minimum percentage), run
    // with the edit being left and before each post with the quantity's edit; unset, any value
    // passes. The containers set it.
    std::function<void(framework::TDBEdit& checked)> Vd_QtContainer;
    // The check of the production product typed, run before each post once the record has its
    // keys; unset, none (the menu type has no production product).
    std::function<void()> Vd_ProdProd;
    TransporteNivel transporte() const;

    // "_" followed by the name and "_" of each null field of the current record, in field order
    // ("_" alone when none is null).
    static QString listaCamposNulos(const framework::ClientDataSet& dados);

    // Sends what the record has pending (each post does; Confirmar again after a refusal).
    void envia();
    // Gives this level's record the standard dish's fancy name when it has none, creating the
    // record when the level has none; posted, and so sent, at once. Left alone while editing and
    // in query mode.
    void herdaNomeFantasia(const QString& nome);
    // Picks a colour for the shape (0 principal, 1 secondary, 2 auxiliary), stores and sends it.
    void escolheCor(int shape);
    // Alterar on the panel: the record into edit (created when the level has none for the dish),
    // the focus on its first edit.
    void altera();
    // The dish weight as the portion: stored and sent without the proportional question.
    void gravaPesoPorcao(double weight);

    // The record into edit for a change; the level's record of the dish is created by its first
    // change.
    void entraEdicao();

    void HabCamposCookChill();
    void defaultCamposCookChill();
    void VdCookchill();
    void PesqMediCase();
    void vd_MediCase();

private:
    void declaraCampos();
    void criaControles(QWidget* page);
    void liga();
    void mostraRegistro();
    void pintaCores();
    void estadoMudou();
    void comandos(); // toolbar and tabs after the record's edit, post or cancel
    // Only the dish's own record of the level chosen may change: throws while the view is
    // emptied for a selector or the level's selectors are missing.
    void exigeVista() const;

    void BeforeInsert();
    void BeforeEdit();
    void NewRecord();
    void BeforePost();
    void AfterPost();
    void AfterDelete();
    // The factor the rows are rescaled by, when the quantity per person changed and the user
    // wants it.
    std::optional<double> perguntaProporcional() const;
    // The supervisor of the insert or edit, when it still needs one (Regras::autoriza...).
    void autorizaPendente(int changes);
    bool editando() const;
    framework::Field* campo(const QString& name) const;
    [[noreturn]] void falha(const char* key, QWidget* control) const;

    ContextoReceita& m_contexto;
    const LevelFields& m_nivel;
    const ControlesPrato& m_nomes;
    Regras m_regras;
    framework::ClientDataSet* m_dados;
    framework::DataSource* m_fonte;
    QWidget* m_painel = nullptr;
    framework::TShape* m_cores[3] = {};
    framework::TMaskEdit* m_validade = nullptr;
    framework::TDBEdit *m_qtPessoa = nullptr, *m_qtContainer = nullptr, *m_amostra = nullptr, *m_perMin = nullptr;
    framework::TDBCheckBox* m_cookChill = nullptr;
    framework::TDBEdit* m_antecipacao = nullptr;
    QLabel *m_lblAntecipacao = nullptr, *m_lblArmazenamento = nullptr;
    QComboBox *m_armazenamento = nullptr, *m_origem = nullptr;
    framework::TDBComboBox* m_status = nullptr;
    framework::TDBEdit *m_cdMediCase = nullptr, *m_nmMediCase = nullptr, *m_qtMediCase = nullptr;
    framework::ClientDataSet *m_mediCase = nullptr, *m_vdMediCase = nullptr;
    std::unique_ptr<Validacao> m_validacao;
    std::unique_ptr<Enviador> m_enviador;
    // The quantity per person the level's rows are scaled for: the record's when the edit began,
    // then the one a rescale scaled them to, so that posting again never scales them twice.
    QVariant m_qtEscala;
    bool m_semPergunta = false;      // the dish weight sets the quantity: no proportional question
    bool m_autorizacaoPendente = false; // the insert or edit still needs the supervisor
    bool m_emEdicao = false;         // the record was being edited at the last state change
};

} // namespace recipe
