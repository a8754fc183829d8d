#pragma once

#include <QString>
#include <functional>

class QLineEdit;
class QObject;

namespace framework {
class Query;
class TBtnPesquisa;
class TMaskEdit;
} // namespace framework

namespace recipe {

class ContextoReceita;

// A code selector of the recipe form: the code edit, a read-only name edit made beside the
// lookup button (typing a code clears it), and the lookup that fills both from the chosen row
// and then runs the code's exit check. beforeSearch prepares the query; exit is the check.
QLineEdit* ligaSeletor(QObject* context, framework::TMaskEdit& code, const QString& nameEdit,
                       framework::TBtnPesquisa& button, framework::Query& query, const QString& codeField,
                       const QString& nameField, std::function<void()> beforeSearch, std::function<void()> exit);

// The same for a sub-page header's selector the form made by name (preparation modes, photos):
// the edit gets its mask and the name edit goes beside the lookup button.
struct SeletorCodigo {
    const char* edit;      // medCdFiliPrep, ...
    const char* mask;      // ">aaaa", "ccccc"
    const char* nameEdit;  // edtNmFiliPrep, ...
    const char* button;    // btpFiliPrep, ...
    framework::Query* query;
    const char* codeField; // CDFILIAL, CDSERVFILI
    const char* nameField; // NMFILIAL, NMSERVICO
    std::function<void()> beforeSearch;
    std::function<void()> exit;
};
QLineEdit* ligaSeletor(QObject& form, QObject* context, SeletorCodigo seletor);

// The header selectors of a page's branch and service sub-pages (preparation modes, photos):
// the branch of the branch sub-page, and the branch and service of the service sub-page, each
// with its name beside it and the form's branch or service lookup. Leaving the service
// sub-page's codes checks them without requiring them; leaving the branch sub-page's branch
// runs saidaFilial. Returns the name edit of the branch sub-page's branch.
struct NomesSeletor {
    const char* edit;     // medCdFiliPrep, ...
    const char* nameEdit; // edtNmFiliPrep, ...
    const char* button;   // btpFiliPrep, ...
};
QLineEdit* ligaSeletoresSubPaginas(ContextoReceita& contexto, QObject* context, NomesSeletor filial,
                                   NomesSeletor filiServ, NomesSeletor servico, std::function<void()> saidaFilial);

// Leaving a branch code edit: the code padded to 4 and written back, checked (ValidaFilial)
// and its name shown; on failure the name is cleared, the edit takes the focus back (when
// enabled) and the failure goes on.
void validaFilial(framework::TMaskEdit& code, QLineEdit& name, bool required);

// The lookups' lists: every branch (qryFilial), and the services of a branch that are not of
// type "A" (qryServico).
void abreFiliais(framework::Query& qryFilial);
void abreServicos(framework::Query& qryServico, const QString& branch);

} // namespace recipe
