#include "cli_pla01305.h"

#include "frmcustoprato.h"

#include "framework/core/hostcontext.h"
#include "framework/forms/formbase.h"

#include <QScopeGuard>
#include <memory>

namespace Cli_pla01305 {

Parametros parametros;
TfrmCustoPrato* frmCustoPrato = nullptr;

void CriaCustoPrato(const Parametros& valores)
{
    parametros = valores;
    std::unique_ptr<TfrmCustoPrato> form(framework::CreateForm<TfrmCustoPrato>(framework::hostContext().mainWindow));
    frmCustoPrato = form.get();
    auto forget = qScopeGuard([] { frmCustoPrato = nullptr; });
    form->ShowModal();
}

} // namespace Cli_pla01305
