#include "cli_pla05000.h"

#include "frmnutriprat.h"

#include "framework/core/hostcontext.h"
#include "framework/forms/formbase.h"

#include <QScopeGuard>
#include <memory>

namespace Cli_pla05000 {

QString stNutriente;
QString stNutriColuna;
TfrmNutriPrat* frmNutriPrat = nullptr;

int CriaNutriPrat()
{
    std::unique_ptr<TfrmNutriPrat> form(framework::CreateForm<TfrmNutriPrat>(framework::hostContext().mainWindow));
    frmNutriPrat = form.get();
    auto forget = qScopeGuard([] { frmNutriPrat = nullptr; });
    return form->ShowModal();
}

} // namespace Cli_pla05000
