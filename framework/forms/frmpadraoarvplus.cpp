#include "frmpadraoarvplus.h"

#include "dbtree.h"
#include "framework/abort.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/ui/guard.h"
#include "framework/ui/messages.h"
#include "framework/ui/search.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace framework {

namespace {
constexpr int idleInterval = 500; // ms
using State = ClientDataSet::State;
} // namespace

TfrmPadraoArvPlus::TfrmPadraoArvPlus(QWidget* parent) : TfrmBase(parent)
{
    dtsPadrao = new DataSource(this, QStringLiteral("dtsPadrao"));
    timIdle = new QTimer(this);
    timIdle->setObjectName(QStringLiteral("timIdle"));
    timIdle->setInterval(idleInterval);

    mnuPrincipal = new QMenuBar(this);
    mnuPrincipal->setObjectName(QStringLiteral("mnuPrincipal"));
    mnuManutencao = mnuPrincipal->addMenu(QStringLiteral("&Manutenção"));
    mnuManutencao->setObjectName(QStringLiteral("mnuManutencao"));
    mnuIncluir = command(QStringLiteral("mnuIncluir"), QStringLiteral("&Incluir"), &TfrmPadraoArvPlus::sbtIncluirClick);
    mnuAlterar = command(QStringLiteral("mnuAlterar"), QStringLiteral("&Alterar"), &TfrmPadraoArvPlus::sbtAlterarClick);
    mnuExcluir = command(QStringLiteral("mnuExcluir"), QStringLiteral("&Excluir"), &TfrmPadraoArvPlus::sbtExcluirClick);
    mnuManutencao->addSeparator();
    mnuProcurar = command(QStringLiteral("mnuProcurar"), QStringLiteral("&Procurar"), &TfrmPadraoArvPlus::sbtProcurarClick);
    mnuVerificar = command(QStringLiteral("mnuVerificar"), QStringLiteral("&Verificar"), &TfrmPadraoArvPlus::sbtVerificarClick);
    mnuManutencao->addSeparator();
    mnuCancelar = command(QStringLiteral("mnuCancelar"), QStringLiteral("&Cancelar"), &TfrmPadraoArvPlus::sbtCancelarClick);
    mnuConfirmar = command(QStringLiteral("mnuConfirmar"), QStringLiteral("C&onfirmar"), &TfrmPadraoArvPlus::sbtConfirmarClick);

    tlbPadrao = new QToolBar(this);
    tlbPadrao->setObjectName(QStringLiteral("tlbPadrao"));
    tlbPadrao->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    sbtIncluir = button(QStringLiteral("sbtIncluir"), mnuIncluir, QStyle::SP_FileIcon);
    sbtAlterar = button(QStringLiteral("sbtAlterar"), mnuAlterar, QStyle::SP_FileDialogDetailedView);
    sbtExcluir = button(QStringLiteral("sbtExcluir"), mnuExcluir, QStyle::SP_TrashIcon);
    tlbPadrao->addSeparator();
    sbtConfirmar = button(QStringLiteral("sbtConfirmar"), mnuConfirmar, QStyle::SP_DialogApplyButton);
    sbtCancelar = button(QStringLiteral("sbtCancelar"), mnuCancelar, QStyle::SP_DialogCancelButton);
    tlbPadrao->addSeparator();
    sbtProcurar = button(QStringLiteral("sbtProcurar"), mnuProcurar, QStyle::SP_FileDialogContentsView);
    sbtVerificar = button(QStringLiteral("sbtVerificar"), mnuVerificar, QStyle::SP_BrowserReload);
    auto* imprimir = new QAction(QStringLiteral("Imprimir"), this);
    guardedConnect(imprimir, &QAction::triggered, this, [this] { sbtImprimirClick(); });
    sbtImprimir = button(QStringLiteral("sbtImprimir"), imprimir, QStyle::SP_DriveFDIcon);
    auto* sair = new QAction(QStringLiteral("Sair"), this);
    guardedConnect(sair, &QAction::triggered, this, [this] { sbtSairClick(); });
    sbtSair = button(QStringLiteral("sbtSair"), sair, QStyle::SP_DialogCloseButton);

    dbaPadrao = new TDBTree(this, QStringLiteral("dbaPadrao"));
    panPrincipal = new QWidget(this);
    panPrincipal->setObjectName(QStringLiteral("panPrincipal"));
    panPrincipal->setLayout(new QVBoxLayout);
    panPrincipal->layout()->setContentsMargins(0, 0, 0, 0);
    splPadrao = new QSplitter(Qt::Horizontal, this);
    splPadrao->setObjectName(QStringLiteral("splPadrao"));
    splPadrao->addWidget(dbaPadrao);
    splPadrao->addWidget(panPrincipal);
    splPadrao->setStretchFactor(1, 1);
    splPadrao->setSizes({250, 550});
    // The pages are wide; without a floor the tree is squeezed to a sliver where names can't be read.
    dbaPadrao->setMinimumWidth(200);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(mnuPrincipal);
    layout->addWidget(tlbPadrao);
    layout->addWidget(splPadrao, 1);

    const auto refresh = [this] { AtualizaBotoes(); };
    guardedConnect(dtsPadrao, &DataSource::stateChanged, this, refresh);
    guardedConnect(dtsPadrao, &DataSource::dataSetSwitched, this, refresh);
    guardedConnect(dtsPadrao, &DataSource::rowsReset, this, refresh);
    guardedConnect(timIdle, &QTimer::timeout, this, refresh);
    AtualizaBotoes();
}

TfrmPadraoArvPlus::~TfrmPadraoArvPlus() = default;

QAction* TfrmPadraoArvPlus::command(const QString& name, const QString& caption, void (TfrmPadraoArvPlus::*handler)())
{
    auto* action = mnuManutencao->addAction(caption);
    action->setObjectName(name);
    guardedConnect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    return action;
}

QToolButton* TfrmPadraoArvPlus::button(const QString& name, QAction* action, int icon)
{
    if (action->icon().isNull())
        action->setIcon(style()->standardIcon(QStyle::StandardPixmap(icon)));
    auto* b = new QToolButton(tlbPadrao);
    b->setObjectName(name);
    b->setDefaultAction(action);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tlbPadrao->addWidget(b);
    return b;
}

void TfrmPadraoArvPlus::FormCreate()
{
    TfrmBase::FormCreate();
    AtualizaBotoes();
    timIdle->start();
}

void TfrmPadraoArvPlus::FormClose()
{
    TfrmBase::FormClose();
    const State state = dtsPadrao->State();
    if ((state == State::Edit || state == State::Insert)
        && msgMensagensPadroes().ShowMsg(QStringLiteral("Sair"), mtConfirmation, mbYes | mbNo) != mrYes)
        throw Abort();
    timIdle->stop();
}

ClientDataSet& TfrmPadraoArvPlus::dataSetPadrao() const
{
    ClientDataSet* ds = dtsPadrao->DataSet();
    if (!ds || !ds->Active())
        throw Error(msgMensagensPadroes().Msg(QStringLiteral("Dataset_Inativo")));
    return *ds;
}

void TfrmPadraoArvPlus::sbtIncluirClick() { dataSetPadrao().Append(); }

void TfrmPadraoArvPlus::sbtAlterarClick() { dataSetPadrao().Edit(); }

void TfrmPadraoArvPlus::sbtExcluirClick()
{
    ClientDataSet& ds = dataSetPadrao();
    if (ds.IsEmpty())
        return;
    if (msgMensagensPadroes().ShowMsg(QStringLiteral("Excl"), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    // Rules run during a deletion may take a while; the toolbar waits for its end.
    timIdle->stop();
    const auto restart = qScopeGuard([this] { timIdle->start(); });
    ds.Delete();
}

void TfrmPadraoArvPlus::sbtConfirmarClick() { dataSetPadrao().CheckBrowseMode(); }

void TfrmPadraoArvPlus::sbtCancelarClick()
{
    ClientDataSet& ds = dataSetPadrao();
    if (ds.state() != State::Edit && ds.state() != State::Insert)
        return;
    if (msgMensagensPadroes().ShowMsg(QStringLiteral("Canc"), mtConfirmation, mbYes | mbNo) == mrYes)
        ds.Cancel();
}

void TfrmPadraoArvPlus::sbtProcurarClick()
{
    ClientDataSet* ds = dbaPadrao->DataSet();
    if (!ds)
        return;
    QStringList fields{dbaPadrao->FieldCode()};
    if (!dbaPadrao->FieldName().isEmpty())
        fields << dbaPadrao->FieldName();
    Pesquisar(*ds, QStringLiteral("Procurar|") + msgMensagensPadroes().Msg(QStringLiteral("Lista_Vazia")), fields);
}

void TfrmPadraoArvPlus::sbtVerificarClick() { dbaPadrao->Resync(); }

void TfrmPadraoArvPlus::sbtSairClick() { close(); }

void TfrmPadraoArvPlus::AtualizaBotoes()
{
    const State state = dtsPadrao->State();
    const ClientDataSet* ds = dtsPadrao->DataSet();
    const bool browsing = state == State::Browse;
    const bool editing = state == State::Edit || state == State::Insert;
    const bool hasRows = ds && ds->Active() && !ds->IsEmpty();
    mnuIncluir->setEnabled(browsing);
    mnuAlterar->setEnabled(browsing && hasRows);
    mnuExcluir->setEnabled(browsing && hasRows);
    mnuProcurar->setEnabled(browsing && hasRows);
    mnuVerificar->setEnabled(browsing && hasRows);
    mnuConfirmar->setEnabled(editing);
    mnuCancelar->setEnabled(editing);
}

} // namespace framework
