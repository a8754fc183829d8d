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

// A code selector of the recipe form: the code edit, a read-only name edit made beside the
// lookup button (typing a code clears it), and the lookup that fills both from the chosen row
// and then runs the code's exit check. beforeSearch prepares the query; exit is the check.
QLineEdit* ligaSeletor(QObject* context, framework::TMaskEdit& code, const QString& nameEdit,
                       framework::TBtnPesquisa& button, framework::Query& query, const QString& codeField,
                       const QString& nameField, std::function<void()> beforeSearch, std::function<void()> exit);

// Leaving a branch code edit: the code padded to 4 and written back, checked (ValidaFilial)
// and its name shown; on failure the edit takes the focus back (when enabled) and the failure
// goes on.
void validaFilial(framework::TMaskEdit& code, QLineEdit& name, bool required);

// The lookups' lists: every branch (qryFilial), and the services of a branch that are not of
// type "A" (qryServico).
void abreFiliais(framework::Query& qryFilial);
void abreServicos(framework::Query& qryServico, const QString& branch);

} // namespace recipe
