#pragma once

#include <QString>
#include <functional>

class QLineEdit;
class QObject;

namespace framework {
class Query;
class TMaskEdit;
} // namespace framework

namespace recipe {

// A branch or service selector of a sub-page header (preparation modes, photos): the code edit
// and lookup button the form made, the name edit added beside the code.
struct SeletorCodigo {
    const char* edit;     // medCdFiliPrep, ...
    const char* mask;     // ">aaaa", "ccccc"
    const char* nameEdit; // edtNmFiliPrep, ...
    const char* button;   // btpFiliPrep, ...
    framework::Query* query;
    QString codeField;    // CDFILIAL, CDSERVFILI
    QString nameField;    // NMFILIAL, NMSERVICO
    std::function<void()> beforeSearch;
    std::function<void()> exit; // leaving the code, and after a choice in the lookup
};

// Wires the selector: typing clears the name, leaving the code runs exit, the lookup button
// searches the query and copies the chosen code and name back. Returns the name edit.
QLineEdit* ligaSeletor(QObject& form, const QObject* context, const SeletorCodigo& seletor);

// The services query with every service of the branch, for a service lookup.
void abreServicos(framework::Query& servicos, const QString& branch);

// Leaving a branch code: padded to 4, checked (ValidaFilial) and its name shown; on failure the
// name is cleared and the code keeps the focus.
void saiFilial(framework::TMaskEdit& edit, QLineEdit& name, bool required);

} // namespace recipe
