#include "cli_pla05500.h"

#include "frmreceprod.h"

#include "framework/core/hostcontext.h"
#include "framework/forms/formbase.h"

#include <QScopeGuard>
#include <memory>

namespace Cli_pla05500 {

TfrmReceProd* frmReceProd = nullptr;

int MostraReceProd()
{
    std::unique_ptr<TfrmReceProd> form(framework::CreateForm<TfrmReceProd>(framework::hostContext().mainWindow));
    frmReceProd = form.get();
    auto forget = qScopeGuard([] { frmReceProd = nullptr; });
    return form->ShowModal();
}

} // namespace Cli_pla05500
