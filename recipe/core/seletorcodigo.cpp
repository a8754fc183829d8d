#include "seletorcodigo.h"

#include "componente.h"
#include "contextoreceita.h"
#include "validacao.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/core/hostcontext.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"
#include "framework/ui/validafilial.h"

#include <QBoxLayout>
#include <QLineEdit>

namespace recipe {


QLineEdit* ligaSeletor(QObject* context, framework::TMaskEdit& code, const QString& nameEdit,
                       framework::TBtnPesquisa& button, framework::Query& query, const QString& codeField,
                       const QString& nameField, std::function<void()> beforeSearch, std::function<void()> exit)
{
    auto* name = new QLineEdit(code.parentWidget());
    name->setObjectName(nameEdit);
    name->setReadOnly(true);
    name->setFocusPolicy(Qt::NoFocus);
    name->setMinimumWidth(200);
    if (auto* row = qobject_cast<QBoxLayout*>(code.parentWidget()->layout()); row && row->indexOf(&button) >= 0)
        row->insertWidget(row->indexOf(&button) + 1, name);
    else if (code.parentWidget()->layout())
        code.parentWidget()->layout()->addWidget(name);
    framework::guardedConnect(&code, &QLineEdit::textEdited, name, [name] { name->clear(); });
    framework::guardedConnect(&code, &framework::TMaskEdit::exited, context, exit);
    button.setDataSet(&query);
    button.setFields({codeField, nameField});
    button.BeforePesq = [beforeSearch = std::move(beforeSearch)](framework::TBtnPesquisa&) { beforeSearch(); };
    button.AfterPesq = [&code, name, &query, codeField, nameField, exit](framework::TBtnPesquisa&) {
        code.setText(query.FieldByName(codeField)->AsString());
        name->setText(query.FieldByName(nameField)->AsString());
        exit();
    };
    return name;
}

QLineEdit* ligaSeletor(QObject& form, QObject* context, SeletorCodigo s)
{
    auto& code = *componente<framework::TMaskEdit>(form, s.edit);
    code.setEditMask(QLatin1String(s.mask));
    return ligaSeletor(context, code, QLatin1String(s.nameEdit), *componente<framework::TBtnPesquisa>(form, s.button),
                       *s.query, QLatin1String(s.codeField), QLatin1String(s.nameField), std::move(s.beforeSearch),
                       std::move(s.exit));
}

QLineEdit* ligaSeletoresSubPaginas(ContextoReceita& contexto, QObject* context, NomesSeletor filial,
                                   NomesSeletor filiServ, NomesSeletor servico, std::function<void()> saidaFilial)
{
    QWidget& form = contexto.janela();
    framework::Query* filiais = &contexto.filiais();
    framework::Query* servicos = &contexto.servicos();
    const auto abre = [filiais] { abreFiliais(*filiais); };
    // The exits find their edits by name: the name edits are made by the wiring below.
    const auto edit = [&form](const char* name) { return componente<framework::TMaskEdit>(form, name); };
    const auto nome = [&form](const char* name) { return componente<QLineEdit>(form, name); };
    QLineEdit* nmFilial = ligaSeletor(form, context, {filial.edit, ">aaaa", filial.nameEdit, filial.button, filiais,
                                                      "CDFILIAL", "NMFILIAL", abre, std::move(saidaFilial)});
    ligaSeletor(form, context, {filiServ.edit, ">aaaa", filiServ.nameEdit, filiServ.button, filiais, "CDFILIAL",
                                "NMFILIAL", abre, [edit, nome, filiServ] {
                                    validaFilial(*edit(filiServ.edit), *nome(filiServ.nameEdit), false);
                                }});
    ligaSeletor(form, context,
                {servico.edit, "ccccc", servico.nameEdit, servico.button, servicos, "CDSERVFILI", "NMSERVICO",
                 [servicos, edit, filiServ] { abreServicos(*servicos, edit(filiServ.edit)->Text()); },
                 [&contexto, servicos, edit, nome, filiServ, servico] {
                     Validacao(contexto.mensagens(), *servicos)
                         .Vd_CdServico(edit(filiServ.edit)->Text(), *edit(servico.edit), *nome(servico.nameEdit), false);
                 }});
    return nmFilial;
}

void validaFilial(framework::TMaskEdit& code, QLineEdit& name, bool required)
{
    code.setText(framework::Ajusta(code.Text(), 4));
    try {
        name.setText(framework::ValidaFilial(code.Text(), framework::hostContext().Operador, required));
    } catch (...) {
        name.clear();
        if (code.isEnabled())
            code.setFocus();
        throw;
    }
}

void abreFiliais(framework::Query& qryFilial)
{
    // Closed first: the search reads the branches as they are now.
    qryFilial.Close();
    qryFilial.Open();
}

void abreServicos(framework::Query& qryServico, const QString& branch)
{
    qryServico.Close();
    qryServico.setParam(QStringLiteral("P_CDFILIAL"), branch);
    qryServico.setParam(QStringLiteral("P_CDSERVFILI"), QString());
    qryServico.setParam(QStringLiteral("P_TCDSERVFILI"), QStringLiteral("T"));
    qryServico.Open();
}

} // namespace recipe
