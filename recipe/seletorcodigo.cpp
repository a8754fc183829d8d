#include "seletorcodigo.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/core/hostcontext.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/query.h"
#include "framework/ui/validafilial.h"

#include <QLayout>
#include <QLineEdit>

using namespace framework;

namespace recipe {

namespace {

template <class T>
T* componente(QObject& form, const char* name)
{
    auto* found = form.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        throw Error(QStringLiteral("Componente %1 não encontrado no formulário.").arg(QLatin1String(name)));
    return found;
}

} // namespace

QLineEdit* ligaSeletor(QObject& form, const QObject* context, const SeletorCodigo& s)
{
    auto* code = componente<TMaskEdit>(form, s.edit);
    code->setEditMask(QLatin1String(s.mask));
    auto* name = new QLineEdit(code->parentWidget());
    name->setObjectName(QLatin1String(s.nameEdit));
    name->setReadOnly(true);
    name->setFocusPolicy(Qt::NoFocus);
    auto* lookup = componente<TBtnPesquisa>(form, s.button);
    code->parentWidget()->layout()->addWidget(name);
    guardedConnect(code, &QLineEdit::textEdited, name, [name] { name->clear(); });
    guardedConnect(code, &TMaskEdit::exited, context, s.exit);
    lookup->setDataSet(s.query);
    lookup->setFields({s.codeField, s.nameField});
    lookup->BeforePesq = [before = s.beforeSearch](TBtnPesquisa&) { before(); };
    lookup->AfterPesq = [code, name, query = s.query, codeField = s.codeField, nameField = s.nameField,
                         exit = s.exit](TBtnPesquisa&) {
        code->setText(query->FieldByName(codeField)->AsString());
        name->setText(query->FieldByName(nameField)->AsString());
        exit();
    };
    return name;
}

void abreServicos(Query& servicos, const QString& branch)
{
    servicos.Close();
    servicos.setParam(QStringLiteral("P_CDFILIAL"), branch);
    servicos.setParam(QStringLiteral("P_CDSERVFILI"), QString());
    servicos.setParam(QStringLiteral("P_TCDSERVFILI"), QStringLiteral("T"));
    servicos.Open();
}

void saiFilial(TMaskEdit& edit, QLineEdit& name, bool required)
{
    edit.setText(Ajusta(edit.Text(), 4));
    try {
        name.setText(ValidaFilial(edit.Text(), hostContext().Operador, required));
    } catch (...) {
        name.clear();
        edit.setFocus();
        throw;
    }
}

} // namespace recipe
