#include "formcompanheiro.h"

#include "framework/abort.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/forms/frmpadrparam.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "recipe/core/cli_pla01300.h"
#include "recipe/form/frmreceitapadrao.h"
#include "server/connection.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace companions {

QString filialCabecalhoReceita()
{
    TfrmReceitaPadrao* receita = Cli_pla01300::boIdCriado ? Cli_pla01300::frmReceitaPadrao : nullptr;
    if (!receita)
        return {};
    auto* filial = receita->findChild<framework::TMaskEdit*>(QStringLiteral("medCdFilial_pan"));
    return filial ? filial->Text() : QString();
}

server::Connection* conexao(QObject* form, const QString& name, const QString& object, framework::TMessages* messages)
{
    auto* connection = new server::Connection(form, name, object);
    connection->setMessages(messages);
    connection->BeforeConnect = [](server::Connection& c) {
        c.setHost(framework::hostContext().WebURL);
        c.setPort(framework::hostContext().WebPort);
    };
    return connection;
}

TfrmReceitaPadrao& formReceita()
{
    TfrmReceitaPadrao* receita = Cli_pla01300::boIdCriado ? Cli_pla01300::frmReceitaPadrao : nullptr;
    if (!receita)
        throw framework::Error(QStringLiteral("Esta rotina é aberta a partir do formulário de receitas, que deve estar aberto."));
    return *receita;
}

QLineEdit* linhaCabecalho(QWidget* parent, const QString& panelName, const QString& caption, const QString& editName)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(panelName);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(caption, panel);
    label->setMinimumWidth(110);
    auto* edit = new QLineEdit(panel);
    edit->setObjectName(editName);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    label->setBuddy(edit);
    row->addWidget(label);
    row->addWidget(edit, 1);
    return edit;
}

void falha(const framework::TMessages& messages, const QString& key, QWidget* control)
{
    if (control && control->isEnabled())
        control->setFocus();
    messages.ShowMsg(key, framework::mtError, framework::mbOK);
    throw framework::Abort();
}

int contaMarcados(const framework::ClientDataSet& cds, const QString& marca)
{
    const framework::Field* campo = cds.FieldByName(marca);
    int marcados = 0;
    for (int pos = 0, rows = cds.RecordCount(); pos < rows; ++pos)
        marcados += cds.valueAt(pos, campo).toString() == u"S";
    return marcados;
}

void fechaComEsc(framework::TfrmPadrParam& form)
{
    // Installed on the form itself: the key reaches it only when no control took it.
    framework::installGuardedEventFilter(&form, [&form](QObject*, QEvent* event) {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Escape || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        form.sbtCancelClick();
        return true;
    });
}

} // namespace companions
