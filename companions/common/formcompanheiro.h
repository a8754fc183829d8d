#pragma once

#include <QString>

class QLineEdit;
class QObject;
class QWidget;
class TfrmReceitaPadrao;

namespace framework {
class ClientDataSet;
class TfrmPadrParam;
class TMessages;
} // namespace framework

namespace server {
class Connection;
} // namespace server

namespace companions {

// The branch typed in the recipe form's header (medCdFilial_pan); empty when the recipe form is
// not open.
QString filialCabecalhoReceita();

// A form's connection to a server object, at the host's application server, reporting through
// the form's messages.
server::Connection* conexao(QObject* form, const QString& name, const QString& object, framework::TMessages* messages);

// The open recipe form, which the forms that copy recipes read while they run (its branch, its
// central list and parameters, its authorisation connection); fails with a clear text when it
// is not open.
TfrmReceitaPadrao& formReceita();

// A header line of a companion form: a caption and the read-only name beside it, in a panel
// named panelName holding a name edit named editName.
QLineEdit* linhaCabecalho(QWidget* parent, const QString& panelName, const QString& caption, const QString& editName);

// Fails a check: focus on the control (when given and enabled), the key's message as an error,
// and the running action ends (framework::Abort).
[[noreturn]] void falha(const framework::TMessages& messages, const QString& key, QWidget* control = nullptr);

// How many rows of a marked grid's dataset have "S" in the mark field.
int contaMarcados(const framework::ClientDataSet& cds, const QString& marca);

// Escape closes a query form as "Fechar" does, as it closes a dialog: once the control with the
// focus has left the key alone (a cell being edited, an open list keep it for themselves).
void fechaComEsc(framework::TfrmPadrParam& form);

} // namespace companions
