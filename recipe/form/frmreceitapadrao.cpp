#include "frmreceitapadrao.h"
#include "arvorepratos.h"
#include "recipe/core/cli_pla01300.h"
#include "recipe/record/registroprato.h"
#include "recipe/record/containerprato.h"
#include "recipe/quantities/conversaounidade.h"
#include "recipe/core/enviador.h"
#include "filialtrabalho.h"
#include "ferramentas.h"
#include "lancadores.h"
#include "recipe/levels/paginareceita.h"
#include "recipe/levels/painelprato.h"
#include "regrashabilitacao.h"
#include "recipe/core/tabelapaginas.h"

#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/forms/dbtree.h"
#include "framework/forms/panelfocus.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/dbedit.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QSignalBlocker>
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
    m_datasets = findChildren<ClientDataSet*>(Qt::FindDirectChildrenOnly);
    m_enviador = std::make_unique<recipe::Enviador>(*netReceitaPadrao);
    m_regras = std::make_unique<recipe::RegrasHabilitacao>(*this);
    registraPaginas();
    registraSeletores();
    criaPaginaPadrao();
    criaPaginasNiveis();
    registraPaineis();
    // The containers check each level's transport edits.
    for (recipe::PainelPrato* painel : m_paineis)
        painel->Vd_QtContainer = [this, painel](framework::TDBEdit& checked) {
            m_containers->Vd_QtContainer(painel->transporte(), checked);
        };
    // A deleted dish's rows leave the recipes loaded for its group, and its photos go with it.
    m_registro->AoExcluir = [this] {
        for (ClientDataSet* list : {cdsProdPrat, cdsReceTpCard, cdsReceFili, cdsReceServ})
            list->Close();
        for (const char* photos : {"cdsFotoPraPad", "cdsFotoPraFil", "cdsFotoPraSer"})
            if (auto* ds = findChild<ClientDataSet*>(QLatin1String(photos)))
                ds->Close();
    };
    // Entering a dish-data panel or a grid, or choosing a selector, moves the toolbar with it.
    m_seguirFoco = guardedConnect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && isAncestorOf(now))
            AtualizaBotoes();
    });
    m_arvore = std::make_unique<recipe::ArvorePratos>(*this);
    m_lancadores = std::make_unique<recipe::Lancadores>(*this);
    m_ferramentas = std::make_unique<recipe::Ferramentas>(*this);
}

TfrmReceitaPadrao::~TfrmReceitaPadrao()
{
    // The controls destroyed below move the focus: the toolbar no longer follows it.
    disconnect(m_seguirFoco);
}

void TfrmReceitaPadrao::createComponents()
{
    addMessages();
    createDataSets();
    createBranchPanel();
    createPages();
    createRegistroPrato();
    createPaginasReceita();
    criaDadosPrato();
}

void TfrmReceitaPadrao::connectHandlers()
{
    connectRegistroPrato();
    connectCicloEdicao();
    m_panFiliPratoFocus = new PanelFocus(panFiliPrato, [this] { panFiliPratoEnter(); }, [this] { panFiliPratoExit(); });
    guardedConnect(medCdFilial_pan, &TMaskEdit::exited, this, [this] { medCdFilial_panExit(); });
    guardedConnect(medCdFilial_pan, &QLineEdit::textEdited, this, [this] { edtNmFilial->clear(); });
    guardedConnect(btnFilial, &QToolButton::clicked, this, [this] { btnFilialClick(); });
    guardedConnect(sbtCentral, &QAction::triggered, this, [this] { sbtCentralClick(); });
    guardedConnect(medCdCentral, &QLineEdit::textChanged, this, [this] { medCdCentralChange(); });
    guardedConnect(medCdCentral, &TMaskEdit::exited, this, [this] { medCdCentralExit(); });
    guardedConnect(pgcPadrao, &QTabWidget::currentChanged, this, [this] {
        // The page left must give up its edit first; when it cannot, the user stays there.
        QWidget* leaving = m_paginaAtual;
        if (leaving && leaving != pgcPadrao->currentWidget()) {
            try {
                pgcPadraoChanging(leaving);
            } catch (...) {
                {
                    const QSignalBlocker block(pgcPadrao);
                    pgcPadrao->setCurrentWidget(leaving);
                }
                AtualizaBotoes(); // the toolbar is back on the page shown
                throw;
            }
        }
        m_paginaAtual = pgcPadrao->currentWidget();
        pgcPadraoChange();
    });

    const auto pageItems = pageMenuItems();
    for (const auto& [item, page] : pageItems) {
        guardedConnect(item, &QAction::triggered, this, [this, page = page] {
            const auto state = dtsPadrao->State();
            if (state != ClientDataSet::State::Edit && state != ClientDataSet::State::Insert)
                pgcPadrao->setCurrentWidget(page);
        });
    }
}

void TfrmReceitaPadrao::sbtImprimirClick() { m_lancadores->sbtImprimirClick(); }

recipe::Companheiros& TfrmReceitaPadrao::companheiros() const { return m_lancadores->companheiros; }

QList<std::pair<QAction*, QWidget*>> TfrmReceitaPadrao::pageMenuItems() const
{
    return {{mnuFormulario, tshFormulario}, {mnuPadrao, tshPadrao},     {mnuTpCard, tshTpCard}, {mnuLocal, tshReceLoca},
            {mnuServico, tshReceServ},      {mnuModoPrep, tshModoPrep}, {mnuFoto, tshFoto}};
}

// --- What the pieces use of the form --------------------------------------------------------------

void TfrmReceitaPadrao::sincronizaArvore() { dbaPadrao->Resync(); }

bool TfrmReceitaPadrao::consulta() const { return Cli_pla01300::boConsulta; }

ClientDataSet& TfrmReceitaPadrao::carregaPratosDaFilial()
{
    m_registro->carregaPratoAux();
    return *m_registro->controles().cdsPratoAux;
}

QWidget* TfrmReceitaPadrao::paginaVisivel() const { return pgcPadrao->currentWidget(); }

void TfrmReceitaPadrao::mostraPagina(QWidget* tab) { pgcPadrao->setCurrentWidget(tab); }

QAction& TfrmReceitaPadrao::comando(recipe::Comando comando) const
{
    using recipe::Comando;
    switch (comando) {
    case Comando::Incluir: return *mnuIncluir;
    case Comando::Alterar: return *mnuAlterar;
    case Comando::Excluir: return *mnuExcluir;
    case Comando::Procurar: return *mnuProcurar;
    case Comando::Verificar: return *mnuVerificar;
    case Comando::Confirmar: return *mnuConfirmar;
    case Comando::Cancelar: break;
    }
    return *mnuCancelar;
}

void TfrmReceitaPadrao::falha(const char* key, QWidget* control) const { recipe::falha(*msgPadrao, key, control); }

bool TfrmReceitaPadrao::event(QEvent* event)
{
    if (event->type() == QEvent::Resize)
        guarded([this] { FormResize(); });
    else if (event->type() == QEvent::WindowDeactivate)
        m_retornoModal = QApplication::activeModalWidget() != nullptr;
    return TfrmPadraoArvPlus::event(event);
}
