#include "cli_pla01304.h"

#include "frmconsnutrprat.h"

#include "framework/core/hostcontext.h"
#include "framework/forms/formbase.h"

#include <QScopeGuard>
#include <memory>

namespace Cli_pla01304 {

QString stCdCentral;
QString stNmCentral;
QString stCdTpCard;
QString stNmTpCard;
QString stCdFilial;
QString stNmFilial;
QString stCdServFili;
QString stNmServico;
QString stCdPrato;
QString stNmPrato;
QString stCdFilaux;
TfrmConsNutrPrat* frmConsNutrPrat = nullptr;

void CriaNutrPrat()
{
    std::unique_ptr<TfrmConsNutrPrat> form(
        framework::CreateForm<TfrmConsNutrPrat>(framework::hostContext().mainWindow));
    frmConsNutrPrat = form.get();
    auto forget = qScopeGuard([] { frmConsNutrPrat = nullptr; });
    form->ShowModal();
}

} // namespace Cli_pla01304
