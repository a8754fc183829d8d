#include "frmreceitapadrao.h"
#include "conversaounidade.h"

#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/forms/dbtree.h"
#include "framework/forms/panelfocus.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"

#include <QAction>
#include <QEvent>
#include <QTabWidget>

using namespace framework;

TfrmReceitaPadrao::TfrmReceitaPadrao(QWidget* parent) : TfrmPadraoArvPlus(parent)
{
    setObjectName(QStringLiteral("frmReceitaPadrao"));
    setWindowTitle(QStringLiteral("Prato"));
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(1000, 640);
    createComponents();
    connectHandlers();
}

TfrmReceitaPadrao::~TfrmReceitaPadrao() = default;

void TfrmReceitaPadrao::createComponents()
{
    addMessages();
    createDataSets();
    createBranchPanel();
    createPages();
    createRegistroPrato();
}

void TfrmReceitaPadrao::connectHandlers()
{
    connectRegistroPrato();
    m_panFiliPratoFocus = new PanelFocus(panFiliPrato, [this] { panFiliPratoEnter(); }, [this] { panFiliPratoExit(); });
    guardedConnect(medCdFilial_pan, &TMaskEdit::exited, this, [this] { medCdFilial_panExit(); });
    guardedConnect(medCdFilial_pan, &QLineEdit::textEdited, this, [this] { edtNmFilial->clear(); });
    guardedConnect(btnFilial, &QToolButton::clicked, this, [this] { btnFilialClick(); });
    guardedConnect(sbtCentral, &QAction::triggered, this, [this] { sbtCentralClick(); });
    guardedConnect(medCdCentral, &QLineEdit::textChanged, this, [this] { medCdCentralChange(); });
    guardedConnect(medCdCentral, &TMaskEdit::exited, this, [this] { medCdCentralExit(); });
    guardedConnect(pgcPadrao, &QTabWidget::currentChanged, this, [this] { pgcPadraoChange(); });

    const auto pageItems = pageMenuItems();
    for (const auto& [item, page] : pageItems) {
        guardedConnect(item, &QAction::triggered, this, [this, page = page] {
            const auto state = dtsPadrao->State();
            if (state != ClientDataSet::State::Edit && state != ClientDataSet::State::Insert)
                pgcPadrao->setCurrentWidget(page);
        });
    }
}

QList<std::pair<QAction*, QWidget*>> TfrmReceitaPadrao::pageMenuItems() const
{
    return {{mnuFormulario, tshFormulario}, {mnuPadrao, tshPadrao},     {mnuTpCard, tshTpCard}, {mnuLocal, tshReceLoca},
            {mnuServico, tshReceServ},      {mnuModoPrep, tshModoPrep}, {mnuFoto, tshFoto}};
}

bool TfrmReceitaPadrao::event(QEvent* event)
{
    if (event->type() == QEvent::Resize)
        guarded([this] { FormResize(); });
    return TfrmPadraoArvPlus::event(event);
}
