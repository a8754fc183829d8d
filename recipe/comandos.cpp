// The toolbar's maintenance commands as the recipe form runs them.
#include "cli_pla01300.h"
#include "frmreceitapadrao.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/messages.h"

#include <QAction>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTimer>

using namespace framework;

namespace {

using State = ClientDataSet::State;

bool editing(const ClientDataSet& dataSet)
{
    return dataSet.state() == State::Edit || dataSet.state() == State::Insert;
}

} // namespace

void TfrmReceitaPadrao::sbtIncluirClick()
{
    if (pgcPadrao->currentWidget() != tshFormulario) {
        TfrmPadraoArvPlus::sbtIncluirClick();
        return;
    }
    Habilita_NivelCompleto(dbeCdPrato->Text());
    if (dbeNmPrato->isEnabled())
        dbeNmPrato->setFocus();
    // The code check of the new dish reads the dishes as they are now.
    try {
        carregaPratoAux();
    } catch (...) {
        if (dbeNmPrato->isEnabled())
            dbeNmPrato->setFocus();
        throw;
    }
    if (cdsPrato->state() == State::Browse)
        cdsPrato->Insert();
    mostraNivelCompleto(cdsPrato->FieldByName(QStringLiteral("CDPRATO"))->AsString());
}

void TfrmReceitaPadrao::sbtAlterarClick()
{
    if (NivelBloq(cdsPrato->FieldByName(QStringLiteral("CDPRATO"))->AsString()))
        falha("NIVBL_ALT");
    if (pgcPadrao->currentWidget() != tshFormulario) {
        TfrmPadraoArvPlus::sbtAlterarClick();
        return;
    }
    if (dbeNmPrato->isEnabled())
        dbeNmPrato->setFocus();
    cdsPrato->Edit();
}

void TfrmReceitaPadrao::sbtExcluirClick()
{
    if (pgcPadrao->currentWidget() != tshFormulario) {
        TfrmPadraoArvPlus::sbtExcluirClick();
        return;
    }
    timIdle->stop();
    const auto restart = qScopeGuard([this] { timIdle->start(); });
    dbaPadrao->Resync();
    Vd_NivelPrato(QStringLiteral("E"));
    const QString code = cdsPrato->FieldByName(QStringLiteral("CDPRATO"))->AsString();
    if (NivelBloq(code))
        falha("NIVBL_EXC");
    const int level = cdsPrato->FieldByName(QStringLiteral("CDNVPRATO"))->AsString().toInt();
    if (level < hostContext().DBPictObj(1).GetTtNiveis()) {
        // A group with dishes under it stays (the server also looks at other branches' trees).
        carregaPratoAux();
        cdsPratoAux->setFilter(QStringLiteral("CDPRATO LIKE ") + QuotedStr(code + u'%'));
        cdsPratoAux->setFiltered(true);
        const auto unfilter = qScopeGuard([this] {
            cdsPratoAux->setFiltered(false);
            cdsPratoAux->setFilter({});
        });
        if (cdsPratoAux->RecordCount() > 1)
            falha("Excl_Inv");
    }
    if (cdsPrato->IsEmpty())
        falha("NO_DADOS");
    if (cdsPrato->state() != State::Browse
        || msgMensagensPadroes().ShowMsg(QStringLiteral("Excl"), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    dbaPadrao->Resync();
    cdsPrato->Delete();
    dbaPadrao->Resync();
}

void TfrmReceitaPadrao::sbtConfirmarClick()
{
    // In the order the components were created: posting the dish record sends it at once.
    for (ClientDataSet* dataSet : findChildren<ClientDataSet*>(Qt::FindDirectChildrenOnly))
        if (editing(*dataSet))
            dataSet->Post();
    if (pgcPadrao->currentWidget() == tshFormulario)
        dbaPadrao->Resync();
}

void TfrmReceitaPadrao::sbtCancelarClick()
{
    if (pgcPadrao->currentWidget() != tshFormulario) {
        TfrmPadraoArvPlus::sbtCancelarClick();
        return;
    }
    if (msgMensagensPadroes().ShowMsg(QStringLiteral("Canc"), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    if (editing(*cdsPrato))
        cdsPrato->Cancel();
    // A change the server refused is still pending: giving up the edit gives it up too.
    if (cdsPrato->Active() && cdsPrato->ChangeCount() > 0)
        cdsPrato->CancelUpdates();
    mostraNivelCompleto(treeCode());
}

void TfrmReceitaPadrao::AtualizaBotoes()
{
    TfrmPadraoArvPlus::AtualizaBotoes();
    const bool consulta = Cli_pla01300::boConsulta;
    const bool match = dtsPadrao->DataSet() != cdsPrato || treeMatchesRecord();
    for (QAction* command : {mnuIncluir, mnuAlterar, mnuExcluir})
        command->setEnabled(command->isEnabled() && !consulta && match);
    for (QAction* command : {mnuConfirmar, mnuCancelar})
        command->setEnabled(command->isEnabled() && !consulta);
}
