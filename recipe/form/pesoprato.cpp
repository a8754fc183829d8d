// The dish weight computed from a recipe page's ingredients.
#include "recipe/core/cli_pla01300.h"
#include "recipe/quantities/conversaounidade.h"
#include "recipe/record/registroprato.h"
#include "frmreceitapadrao.h"
#include "recipe/core/levelfields.h"
#include "recipe/levels/painelprato.h"
#include "recipe/quantities/quantidades.h"

#include "framework/abort.h"
#include "framework/data/clientdataset.h"
#include "framework/data/numberformat.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/dialogs.h"
#include "framework/ui/messages.h"

#include <QApplication>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTimer>

using namespace framework;

namespace {

using State = ClientDataSet::State;

} // namespace

void TfrmReceitaPadrao::sbtCalcPadraoClick()
{
    if (Cli_pla01300::boConsulta)
        throw Abort();
    const recipe::LevelFields* level = recipe::levelFieldsOfPage(pgcPadrao->currentWidget()->objectName());
    if (!level)
        return;
    auto* list = findChild<ClientDataSet*>(level->dataSet);
    if (list->state() == State::Edit || list->state() == State::Insert)
        return;
    if (level->level == recipe::Level::Padrao) {
        dbaPadrao->Resync();
        m_registro->Vd_Receita(QStringLiteral("I"));
    }
    if (!list->Active() || list->IsEmpty())
        falha("N_DADOS_CALC");

    double weight = 0;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool idleWasActive = timIdle->isActive();
        timIdle->stop();
        list->DisableControls();
        const ClientDataSet::Bookmark position = list->GetBookmark();
        // Runs while the stack may be unwinding: nothing here may throw. A row that vanished
        // meanwhile leaves the cursor where it is.
        const auto restore = qScopeGuard([&] {
            if (list->BookmarkValid(position))
                list->GotoBookmark(position);
            list->EnableControls();
            if (idleWasActive)
                timIdle->start();
            QApplication::restoreOverrideCursor();
        });
        weight = pesoDaLista(*list, *level);
    }
    const QString dishUnit = cdsPrato->FieldByName(QStringLiteral("SGUNIDADE"))->AsString();
    if (msgPadrao->ShowMsg(QStringLiteral("PESOPRATO"), mtConfirmation, mbYes | mbNo,
                           {formatNumber(weight, QStringLiteral("#,##0.00000")) + u' ' + dishUnit})
        != mrYes)
        return;
    PainelDados(level->level).gravaPesoPorcao(weight);
}

double TfrmReceitaPadrao::pesoDaLista(ClientDataSet& list, const recipe::LevelFields& level)
{
    const QString dishUnit = cdsPrato->FieldByName(QStringLiteral("SGUNIDADE"))->AsString();
    const Field* quantity = list.FieldByName(level.netQty);
    const Field* product = list.FieldByName(QStringLiteral("CDPRODUTO"));
    const Field* rowUnit = list.FieldByName(QStringLiteral("SGUNIDADE"));
    const Field* productUnit = list.FieldByName(QStringLiteral("SGUNIDPROD"));
    const recipe::QuantidadeUnidade units(*m_conversao);
    double weight = 0;
    for (list.First(); !list.Eof(); list.Next())
        weight += units.emUnidade({product->AsString(), rowUnit->AsString(), productUnit->AsString()}, dishUnit,
                                  quantity->AsFloat());
    return weight;
}
