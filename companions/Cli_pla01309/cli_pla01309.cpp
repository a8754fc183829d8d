#include "cli_pla01309.h"

#include "frmimpprato.h"

#include "framework/core/hostcontext.h"
#include "framework/forms/formbase.h"

#include <QApplication>
#include <QScopeGuard>

namespace Cli_pla01309 {

TfrmImpPrato* frmImpPrato = nullptr;
bool boIdCriado = false;
bool boAlt_Qt_Prop = false;
bool boIdMarcado = false;
QString stNivel;

void CriaImportacaoPrato(const QString& nivel)
{
    {
        // The busy cursor covers the creation only: the user works in the form with the normal one.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        if (!boIdCriado) {
            frmImpPrato = framework::CreateForm<TfrmImpPrato>(framework::hostContext().mainWindow);
            boIdCriado = true;
        }
        stNivel = nivel;
    }
    frmImpPrato->ShowModal();
    // Closing cleared boIdCriado: the next review starts with a new form.
    if (!boIdCriado) {
        delete frmImpPrato;
        frmImpPrato = nullptr;
    }
}

} // namespace Cli_pla01309
