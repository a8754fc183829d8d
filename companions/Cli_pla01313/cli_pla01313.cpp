#include "cli_pla01313.h"

#include "frmreplicaporservico.h"

#include "companions/common/formcompanheiro.h"

#include "framework/core/hostcontext.h"
#include "framework/forms/formbase.h"
#include "framework/ui/messages.h"

#include <QApplication>
#include <QScopeGuard>

namespace Cli_pla01313 {

TfrmReplicaPorServico* frmReplicaPorServico = nullptr;
bool boIdCriado = false;
bool boPratosNaoProcessados = false;

int CriaReplicaPorServico()
{
    // The form works on the recipe form's branch, centrals and connection: without it, a clear
    // text instead of a form that cannot load anything.
    companions::formReceita();
    {
        // The busy cursor covers the creation only: the user works in the form with the normal one.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        if (!boIdCriado) {
            frmReplicaPorServico = framework::CreateForm<TfrmReplicaPorServico>(framework::hostContext().mainWindow);
            boIdCriado = true;
        }
    }
    boPratosNaoProcessados = false;
    const int resultado = frmReplicaPorServico->ShowModal() == framework::mrOk ? framework::mrOk : framework::mrCancel;
    // Closing cleared boIdCriado: the next call starts with a new form.
    if (!boIdCriado) {
        delete frmReplicaPorServico;
        frmReplicaPorServico = nullptr;
    }
    return resultado;
}

} // namespace Cli_pla01313
