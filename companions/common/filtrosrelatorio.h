#pragma once

#include <QString>
#include <exception>

class QGridLayout;
class QLabel;
class QLineEdit;
class QObject;
class QRadioButton;
class QWidget;

namespace framework {
class DataSource;
class Query;
class TBtnPesquisa;
class TMaskEdit;
class TMessages;
} // namespace framework

// What the two report forms (dish nutrients, recipes by product) share: their code rows, the
// central and menu-type lookups, and the padding of a range's final code.
namespace companions {

// A radio button with its component name.
QRadioButton* radio(QWidget* parent, const char* name, const char* caption);
// A direct query with its component name and general SQL text.
framework::Query* query(QObject* parent, const char* name, const char* sql);

// Adds a code column and a name column, titled "Código" and "Nome", to a lookup query.
void codeAndName(framework::Query* q, const char* code, int codeSize, const char* name, int nameSize);

// The "Origem" box of the report forms: standard, branch, service and menu-type recipes, the
// standard one checked.
struct RadiosOrigem {
    QRadioButton* padrao = nullptr;
    QRadioButton* local = nullptr;
    QRadioButton* servico = nullptr;
    QRadioButton* tpCard = nullptr;
};
QWidget* grupoOrigem(QWidget* parent, RadiosOrigem& radios);

// A filter row: caption, masked code, read-only name and lookup button.
struct LinhaCodigo {
    QLabel* rotulo = nullptr;
    framework::TMaskEdit* codigo = nullptr;
    QLineEdit* nome = nullptr;
    framework::TBtnPesquisa* botao = nullptr; // none when the row has no lookup
    void setEnabled(bool enabled) const;
    void limpa() const;
};
// The fields of the current row a data-aware filter row shows instead of codes of its own.
struct CamposLinha {
    framework::DataSource* fonte;
    const char* codigo;
    const char* nome;
};
// With campos, the code and the read-only name are data-aware edits of those fields.
LinhaCodigo linhaCodigo(QWidget* parent, QGridLayout* grid, int row, const QString& caption, const QString& codeName,
                        const QString& mask, const QString& nameName, const QString& buttonName = {},
                        const CamposLinha* campos = nullptr);

// The central of a branch (P_CDFILIAL): CDCENTRAL, NMCENTRAL; no row when it has none.
framework::Query* consultaFiliCentAgreg(QObject* parent);
// The menu types of a central linked to a branch or central: P_CDFILCENTPME, P_CDFILIAL,
// P_CDTIPOCARD with P_TCDTIPOCARD "T" for all.
framework::Query* consultaTipoCard(QObject* parent);

// Fills the central of FiliProc; false when the branch has no central.
bool mostraCentral(framework::Query& qryFiliCentAgreg, framework::TMaskEdit& codigo, QLineEdit& nome);

// The menu type check (Vd_CdTipoCard): normalised (AjustaTipoCard); empty and required "TPCARD_EMPTY";
// unknown for the central and FiliProc "TPCARD_NCAD"; else its name is shown.
void verificaTipoCard(framework::Query& qryTipoCard, const framework::TMessages& messages, const QString& central,
                      framework::TMaskEdit& codigo, QLineEdit& nome, bool required);

// The final code of a range: filled with fill up to 10 characters, so that a partial code takes
// every code beginning with it.
QString completaFinal(const QString& code, QChar fill);

// Puts the focus back on a field when a check on it fails (the failure goes on its way).
class FocoNaFalha {
public:
    explicit FocoNaFalha(QWidget* field) : m_field(field), m_exceptions(std::uncaught_exceptions()) {}
    ~FocoNaFalha();
    FocoNaFalha(const FocoNaFalha&) = delete;
    FocoNaFalha& operator=(const FocoNaFalha&) = delete;

private:
    QWidget* m_field;
    int m_exceptions;
};

} // namespace companions
