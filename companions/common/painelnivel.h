#pragma once

#include "filtrosrelatorio.h"

#include <QString>
#include <functional>

class QGroupBox;
class QObject;
class QRadioButton;
class QWidget;

namespace framework {
class DataSource;
class Query;
class TMessages;
} // namespace framework

// The recipe level choosers of the forms that copy recipes: kind radios (standard, menu type,
// branch, service) with the central, menu type, branch and service of the chosen level, their
// lookups and checks. The import form has one for its origin and one for its destination; the
// replication and percentage forms one for their origin.
namespace companions {

// Which services a form lists and takes as a level: all of a branch's, or only those that serve
// meals (restaurant "N" and hospital "D"), as the forms that give services recipes of others.
enum class Servicos { Todos, Refeicao };

// The direct queries the level panels of a form share (one set per form: their names are the
// form's components).
struct ConsultasNivel {
    framework::Query* qryFilialPesq;   // every branch
    framework::Query* qryNomeFilial;   // a branch's name (P_CDFILIAL)
    framework::Query* qryServicoPesq;  // a branch's services (P_CDFILIAL)
    framework::Query* qryValidServ;    // one service (P_CDFILIAL, P_CDSERVFILI), with IDTIPOSERV
    framework::Query* qryTipoCard;     // a central's menu types (P_CDFILCENTPME; P_TCDTIPOCARD "T" or P_CDTIPOCARD)
    framework::Query* qryFiliCentAgreg; // the central of a branch (P_CDFILIAL)
    static ConsultasNivel cria(QObject* form, Servicos servicos = Servicos::Todos);
};

// The fields of the current row a panel edits instead of codes of its own (the percentage
// form's origin of each service): code and name of the central, menu type, branch and service.
// The dataset declares them before the panel is built.
struct CamposNivel {
    framework::DataSource* fonte;
    const char *central, *nmCentral;
    const char *tipoCard, *nmTipoCard;
    const char *filial, *nmFilial;
    const char *servico, *nmServico;
};

// The component names of one panel: the origin side or the destination side.
struct NomesNivel {
    const char *grupo, *titulo;
    const char *rdbPadrao, *rdbTpCard, *rdbLocal, *rdbServico;
    const char *panTpCard;
    const char *lblCentral, *medCdCentral, *edtNmCentral, *btnCentral;
    const char *lblTpCard, *medCdTpCard, *edtNmTpCard, *btnTpCard;
    const char *lblFilial, *medCdFilial, *edtNmFilial, *btnFilial;
    const char *lblServico, *medCdServico, *edtNmServico, *btnServico;
    static const NomesNivel origem;  // rdbPadrao, medCdFilialOrigem, ...
    static const NomesNivel destino; // rdbPadraoDest, medCdFilial, ...
};

// What a panel names: the level letter ("P" standard, "T" menu type, "F" branch, "S" service)
// and the codes as they stand (those the level does not use travel too, usually empty).
struct CodigosNivel {
    QString tipo, central, tipoCard, filial, servico;
};

class PainelNivel {
public:
    // Builds the group box under parent; messages is the form's list ("Filial_inf", "Servico_inf",
    // "Servico_nc", "TPCARD_EMPTY", "TPCARD_NCAD", "Servico_Fatu_Ambu"). The central checks and
    // lookup use the open recipe form's central list and messages. With campos the codes and names
    // are those of the current row: the checks then work only while the row is in edit, and
    // write into it.
    PainelNivel(QWidget* parent, const NomesNivel& nomes, const ConsultasNivel& consultas,
                const framework::TMessages& messages, const CamposNivel* campos = nullptr);

    QGroupBox* grupo() const { return m_grupo; }
    QRadioButton *rdbPadrao, *rdbTpCard, *rdbLocal, *rdbServico;
    QWidget* panTpCard;
    LinhaCodigo central, tipoCard, filial, servico;

    // Around a click of a kind radio: BeforeClick runs first (the origin discards the dish grid),
    // AfterClick last (the form sets the centrals of its panels).
    std::function<void()> BeforeClick, AfterClick;
    // A name of the panel changed (what the level names is no longer what was loaded); a panel
    // of its own codes only.
    std::function<void()> OnNomeMudou;
    // A service typed or chosen, before it is looked up: the form's own refusals.
    std::function<void(const QString& filial, const QString& servico)> VerificaServico;

    // The level of the checked radio: "P", else "T", else "F", else "S".
    QString Tipo() const;
    CodigosNivel Codigos() const;

    // Applies the checked radio: the fields of its level enabled, an empty branch filled with the
    // recipe form's one (the processing branch's in a branch module).
    void rdbClick();
    // Checks the radio of a level letter (the standard one for any other text) and enables the
    // fields of that level, as a row is shown: neither the click's hooks nor its fillings run.
    void mostraTipo(const QString& tipo);
    // The radios and the fields of the checked level on, or the whole panel off.
    void setHabilitado(bool habilitado);
    // Branch fields stay as they are, whatever the radios (a branch module's origin).
    void setFilialFixa(bool fixa) { m_filialFixa = fixa; }
    // Only services that serve meals may be chosen ("Servico_Fatu_Ambu").
    void setServicosRefeicao(bool refeicao) { m_servicosRefeicao = refeicao; }
    // The central is chosen by the user only where the general parameter allows it and only for
    // a menu type.
    void HabilitaCentral(bool permiteEscolha);
    // Without centrals (modules other than '8' and 'L') there are no menu types.
    void escondeTpCard();
    // The central of a branch; false when it has none (the menu type is then not offered).
    bool mostraCentral(const QString& filial);

    // A line's code and name as they stand: the row's fields, or the edits' texts.
    QString codigo(const LinhaCodigo& linha) const;
    QString nome(const LinhaCodigo& linha) const;
    // Sets a line's code or name: into the row (put in edit first), or into the edits.
    void defineCodigo(const LinhaCodigo& linha, const QString& codigo) const;
    void defineNome(const LinhaCodigo& linha, const QString& nome) const;

    // Field checks; leaving a field runs its check not required. A failed check puts the focus
    // back on the field and aborts with the key's message.
    void VdCentral(bool required);
    void Vd_TipoCard(bool required);
    void Vd_Filial(bool required);
    void Vd_Servico(bool required);
    // The level's own check: a menu type, a branch or a service must be given and valid.
    // Gives the level letter.
    QString Vd_Nivel();

private:
    void criaComponentes(QWidget* parent, const NomesNivel& nomes, const CamposNivel* campos);
    void ligaEventos();
    void ligaCampos(const CamposNivel& campos);
    void aplicaTipo();
    void preencheFilial();
    // Whether the checks may change the codes: a panel of its own, or the row in edit.
    bool editavel() const;
    [[noreturn]] void falha(const char* key, QWidget* field) const;

    QGroupBox* m_grupo = nullptr;
    ConsultasNivel m_consultas;
    const framework::TMessages& m_messages;
    framework::DataSource* m_fonte = nullptr; // the row's, for a panel of a row's fields
    bool m_filialFixa = false;
    bool m_servicosRefeicao = false;
};

} // namespace companions
