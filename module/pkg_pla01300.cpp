#include "pkg_pla01300.h"

#include "companions/Cli_pla01304/cli_pla01304.h"
#include "companions/Cli_pla01305/cli_pla01305.h"
#include "companions/Cli_pla01309/cli_pla01309.h"
#include "companions/Cli_pla01313/cli_pla01313.h"
#include "companions/Cli_pla01314/cli_pla01314.h"
#include "companions/Cli_pla05000/cli_pla05000.h"
#include "companions/Cli_pla05500/cli_pla05500.h"

#include "framework/abort.h"
#include "framework/core/hostcontext.h"
#include "framework/forms/formbase.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"
#include "recipe/core/cli_pla01300.h"
#include "recipe/form/frmreceitapadrao.h"
#include "recipe/form/lancadores.h"

#include <QApplication>
#include <QScopeGuard>
#include <QScreen>
#include <array>
#include <tuple>

using namespace framework;

namespace {

// The host keeps the messages it shows for the package in its main form's list msgPadrao.
TMessages& hostMessages()
{
    QWidget* main = hostContext().mainWindow;
    auto* messages = main ? main->findChild<TMessages*>(QStringLiteral("msgPadrao"), Qt::FindDirectChildrenOnly) : nullptr;
    if (!messages)
        throw Error(QStringLiteral("A aplicação hospedeira não tem a lista de mensagens msgPadrao."));
    return *messages;
}

QString text(const char* utf8) { return utf8 ? QString::fromUtf8(utf8) : QString(); }

int branchCount()
{
    Query query(nullptr, QStringLiteral("qryContaFilial"));
    query.setSQL(QStringLiteral("SELECT COUNT(*) AS NRREGISTROS FROM FILIAL"));
    query.Open();
    return int(query.FieldByName(QStringLiteral("NRREGISTROS"))->AsInteger());
}

// The creation functions as the recipe form's menus call them, each argument a text.
template <std::size_t N, class F>
void comTextos(const QStringList& args, F&& call)
{
    std::array<QByteArray, N> utf8;
    for (std::size_t i = 0; i < N; ++i)
        utf8[i] = args.value(int(i)).toUtf8();
    std::apply([&](const auto&... text) { call(text.constData()...); }, utf8);
}

// The companion forms this package holds; those still to come stay unconnected.
void ligaCompanheiros(recipe::Companheiros& companheiros)
{
    companheiros.CriaNutrPrat = [](const QStringList& args) {
        comTextos<11>(args, [](auto... t) { CriaNutrPrat(t...); });
    };
    companheiros.CriaCustoPrato = [](const QStringList& args) {
        comTextos<12>(args, [](auto... t) { CriaCustoPrato(t...); });
    };
    companheiros.CriaImportacaoPrato = [](const QString& level) {
        comTextos<1>({level}, [](auto... t) { CriaImportacaoPrato(t...); });
    };
    companheiros.CriaReplicaPorServico = [] { return CriaReplicaPorServico(); };
    companheiros.ReplicaDeixouPratos = [] { return Cli_pla01313::boPratosNaoProcessados; };
    companheiros.CriaPercentualdeReceita = [](const QString& cdFilAuxPrat, const QString& cdPrato) {
        return CriaPercentualdeReceita(cdFilAuxPrat.toUtf8().constData(), cdPrato.toUtf8().constData());
    };
    companheiros.CriaNutriPrat = [] { return CriaNutriPrat(); };
    companheiros.MostraReceProd = [] { return Cli_pla05500::MostraReceProd(); };
}

} // namespace

void CriaReceita()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });

    if (branchCount() == 0) {
        hostMessages().ShowMsg(QStringLiteral("FILI_DEVE"), mtInformation, mbOK);
        return;
    }
    using namespace Cli_pla01300;
    if (!boIdCriado) {
        if (hostContext().DBPict(1).isEmpty()) {
            if (hostMessages().ShowMsg(QStringLiteral("Cad_PictPrat"), mtInformation, mbYes | mbNo) == mrYes)
                hostContext().LoadBPL(QStringLiteral("GER02100"));
            return;
        }
        frmReceitaPadrao = CreateForm<TfrmReceitaPadrao>(hostContext().mainWindow);
        ligaCompanheiros(frmReceitaPadrao->companheiros());
        boIdCriado = true;
    }
    frmReceitaPadrao->showNormal();
    frmReceitaPadrao->raise();
    frmReceitaPadrao->activateWindow();
    const QSize screen = frmReceitaPadrao->screen()->size();
    if (screen == QSize(640, 480))
        frmReceitaPadrao->showMaximized();
}

void IniProc(const char* branch)
{
    Cli_pla01300::boConsulta = branch != nullptr;
    if (branch)
        Cli_pla01300::stFilialC = QString::fromUtf8(branch);
    CriaReceita();
}

void CriaNutrPrat(const char* cdCentral, const char* nmCentral, const char* cdTpCard, const char* nmTpCard,
                  const char* cdFilial, const char* nmFilial, const char* cdServFili, const char* nmServico,
                  const char* cdPrato, const char* nmPrato, const char* cdFilaux)
{
    using namespace Cli_pla01304;
    stCdCentral = text(cdCentral);
    stNmCentral = text(nmCentral);
    stCdTpCard = text(cdTpCard);
    stNmTpCard = text(nmTpCard);
    stCdFilial = text(cdFilial);
    stNmFilial = text(nmFilial);
    stCdServFili = text(cdServFili);
    stNmServico = text(nmServico);
    stCdPrato = text(cdPrato);
    stNmPrato = text(nmPrato);
    stCdFilaux = text(cdFilaux);
    Cli_pla01304::CriaNutrPrat();
}

void CriaCustoPrato(const char* cdCentral, const char* nmCentral, const char* cdTpCard, const char* nmTpCard,
                    const char* cdFilial, const char* nmFilial, const char* cdFilialRef, const char* cdServico,
                    const char* nmServico, const char* cdPrato, const char* nmPrato, const char* cdFilAuxPrat)
{
    Cli_pla01305::CriaCustoPrato({text(cdCentral), text(nmCentral), text(cdTpCard), text(nmTpCard), text(cdFilial),
                                  text(nmFilial), text(cdFilialRef), text(cdServico), text(nmServico), text(cdPrato),
                                  text(nmPrato), text(cdFilAuxPrat)});
}

void CriaImportacaoPrato(const char* level)
{
    Cli_pla01309::CriaImportacaoPrato(text(level));
}

int CriaReplicaPorServico()
{
    return Cli_pla01313::CriaReplicaPorServico();
}

int CriaPercentualdeReceita(const char* cdFilAuxPrat, const char* cdPrato)
{
    return Cli_pla01314::CriaPercentualdeReceita(text(cdFilAuxPrat), text(cdPrato));
}

int CriaNutriPrat()
{
    return Cli_pla05000::CriaNutriPrat();
}
