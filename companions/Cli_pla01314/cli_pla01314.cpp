#include "cli_pla01314.h"

#include "frmpercentsobrereceita.h"

#include "framework/core/hostcontext.h"
#include "framework/forms/formbase.h"
#include "framework/ui/messages.h"

#include <QApplication>
#include <QScopeGuard>

namespace Cli_pla01314 {

TfrmPercentSobreReceita* frmPercentSobreReceita = nullptr;
bool boIdCriado = false;

int CriaPercentualdeReceita(const QString& cdFilAuxPrat, const QString& cdPrato)
{
    {
        // The busy cursor covers the creation only: the user works in the form with the normal one.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        if (!boIdCriado) {
            frmPercentSobreReceita = framework::CreateForm<TfrmPercentSobreReceita>(framework::hostContext().mainWindow);
            frmPercentSobreReceita->setPrato(cdFilAuxPrat, cdPrato);
            boIdCriado = true;
        }
    }
    frmPercentSobreReceita->ShowModal();
    // Closing, by the button or the window's own, answers whether anything was stored.
    const int resultado = frmPercentSobreReceita->Aplicou() ? framework::mrOk : framework::mrCancel;
    // Closing cleared boIdCriado: the next call starts with a new form.
    if (!boIdCriado) {
        delete frmPercentSobreReceita;
        frmPercentSobreReceita = nullptr;
    }
    return resultado;
}

} // namespace Cli_pla01314
