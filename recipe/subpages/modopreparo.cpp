#include "modopreparo.h"

#include "barraformatacao.h"
#include "recipe/core/componente.h"
#include "recipe/core/enviador.h"
#include "recipe/core/contextoreceita.h"
#include "paginapreparo.h"
#include "recipe/core/respostaservidor.h"
#include "recipe/core/seletorcodigo.h"
#include "subpaginas.h"
#include "recipe/core/tabelapaginas.h"

#include "framework/abort.h"
#include "framework/core/consiste.h"
#include "framework/core/dbpicture.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/forms/panelfocus.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/dbnavigator.h"
#include "framework/ui/dbrichedit.h"
#include "framework/ui/dialogs.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/search.h"
#include "server/connection.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>

using namespace framework;

namespace recipe {

namespace {

using State = ClientDataSet::State;

const CamposPreparo niveis[] = {
    {{'P', "tshPrepPad", "dtsPadraoText", "cdsPrepPad", {}, "NRPREPPRAT", "IDPREPPRAT", "GetPrepPad", "UpdPrepPad"},
     "drePadrao",
     "TXPREPPRAT",
     "NMRPREPPRAT",
     "Padrão"},
    {{'F', "tshPrepFil", "dtsFilialText", "cdsPrepFil", {QStringLiteral("CDFILIAL")}, "NRPREPFILI", "IDPREPFILI",
      "GetPrepFil", "UpdPrepFil"},
     "drePrepFil",
     "TXPREPFILI",
     "NMRPREPFILI",
     "Filial"},
    {{'S', "tshPrepSer", "dtsServicoText", "cdsPrepSer", {QStringLiteral("CDFILIAL"), QStringLiteral("CDSERVFILI")},
      "NRPREPSERV", "IDPREPSERV", "GetPrepSer", "UpdPrepSer"},
     "dreServico",
     "TXPREPSERV",
     "NMRPREPSERV",
     "Serviço"},
};

const char* const filtroArquivo =
    "Todos os Arquivos(*.*)|*.*|Arquivos Rich Text(*.rtf)|*.rtf|Arquivos de Texto(*.txt)|*.txt";
const char* const filtroAbrir =
    "Todos os Arquivos(*.*)|*.*|Arquivos Rich Text (*.rtf)|*.rtf|Arquivos de Texto(*.txt)|*.txt";


} // namespace

ModoPreparo::ModoPreparo(ContextoReceita& contexto, QWidget& pagina, QTabWidget& abas, QMenu& menuPaginas,
                         QAction& mnuModoServico)
    : QObject(&contexto.janela()), m_contexto(contexto), m_pagina(pagina), m_abas(abas), m_menuPaginas(menuPaginas),
      m_mnuModoServico(mnuModoServico), m_enviador(std::make_unique<Enviador>(contexto.servidor()))
{
    setObjectName(QStringLiteral("modoPreparo"));
    // The data sheet sub-page is kept hidden.
    abas.setTabVisible(abas.indexOf(componente<QWidget>(abas, "tshFolhaDados")), false);
    abas.setCurrentWidget(componente<QWidget>(abas, "tshPrepPad"));
    adicionaMensagens();
    criaControles();
    m_paginas[0] = new PaginaPreparo(contexto, niveis[0], *m_enviador, {});
    m_paginas[1] =
        new PaginaPreparo(contexto, niveis[1], *m_enviador, {{componente<TMaskEdit>(contexto.janela(), "medCdFiliPrep"), "edtNmFiliPrep"}});
    m_paginas[2] = new PaginaPreparo(contexto, niveis[2], *m_enviador,
                                     {{componente<TMaskEdit>(contexto.janela(), "medCdFiliServPrep"), "edtNmFiliServPrep"},
                                      {componente<TMaskEdit>(contexto.janela(), "medCdServPrep"), "edtNmServPrep"}});
    m_subPaginas = std::make_unique<SubPaginas>(contexto, &pagina, &abas);
    for (PaginaPreparo* page : m_paginas)
        m_subPaginas->adiciona(page);
    conecta();
}

ModoPreparo::~ModoPreparo() = default;

void ModoPreparo::adicionaMensagens()
{
    m_contexto.mensagens().Add({
        {"get_cdsPrepPad", "Carregando formas de preparo (Padrão)..."},
        {"get_cdsPrepFil", "Carregando formas de preparo (Filial)..."},
        {"get_cdsPrepSer", "Carregando formas de preparo (Serviço)..."},
        {"upd_cdsPrepPad", "Atualizando formas de preparo (Padrão)..."},
        {"upd_cdsPrepFil", "Atualizando formas de preparo (Filial)..."},
        {"upd_cdsPrepSer", "Atualizando formas de preparo (Serviço)..."},
        {"get_cdsProxCodigoPrat", "Importando próximo código para prato..."},
        {"get_cdsImportaPrep", "Importando formas de preparo..."},
        {"TXPREPARO_EMPTY", "Modo de preparo deve ser informado."},
        {"NAtiv_dre", "Não se pode incluir em modo de preparo desativado."},
        {"PREPPADR_N_PRATLOCA", "Modo de preparo padrão não pode ser incluído para prato local."},
        {"PREPPADR_N_INC", "Modo de preparo padrão não pode ser incluído em módulo filial."},
        {"PREPPADR_N_ALT", "Modo de preparo padrão não pode ser alterado em módulo filial."},
        {"PREPPADR_N_EXC", "Modo de preparo padrão não pode ser excluído em módulo filial."},
        {"SERV_EMPTY", "Serviço deve ser informado."},
        {"PRATO", "Prato"},
        {"PRATO_INF", "Não há prato cadastrado."},
    });
}

void ModoPreparo::criaControles()
{
    m_barra = componente<BarraFormatacao>(m_contexto.janela(), "fpnReceita");
    m_dbeNrPrep = componente<TDBEdit>(m_contexto.janela(), "dbeNrPrep");
    m_dbeNrPrep->setReadOnly(true);
    m_dbeNomeMod = componente<TDBEdit>(m_contexto.janela(), "dbeNomeMod");
    m_dbnNavModPrep = componente<TDBNavigator>(m_contexto.janela(), "dbnNavModPrep");
    m_sbtAtiva = componente<QToolButton>(m_contexto.janela(), "sbtAtiva");
    m_sbtAtiva->setText(QStringLiteral("Ativar Modo de Preparo"));
    m_sbtDesativa = componente<QToolButton>(m_contexto.janela(), "sbtDesativa");
    m_sbtDesativa->setText(QStringLiteral("Desativar Modo de Preparo"));
    m_sbtSalva = componente<QToolButton>(m_contexto.janela(), "sbtSalva");
    m_sbtSalva->setText(QStringLiteral("Salvar em Arquivo"));
    m_sbtImpArquiv = componente<QToolButton>(m_contexto.janela(), "sbtImpArquiv");
    m_sbtImpArquiv->setText(QStringLiteral("Importar de Arquivo"));
    componente<QWidget>(m_contexto.janela(), "lblNomeRes")->setProperty("text", QStringLiteral("Responsável"));
    m_pmnImporta = new QMenu(&m_pagina);
    m_pmnImporta->setObjectName(QStringLiteral("pmnImporta"));
    QAction* arquivo = m_pmnImporta->addAction(QStringLiteral("&Importar de Arquivo ..."));
    arquivo->setObjectName(QStringLiteral("mnuImpArquivo"));
    QAction* receita = m_pmnImporta->addAction(QStringLiteral("&De Outra Receita ..."));
    receita->setObjectName(QStringLiteral("mnuImpModPrepRece"));
    guardedConnect(arquivo, &QAction::triggered, this, [this] { mnuImpArquivoClick(); });
    guardedConnect(receita, &QAction::triggered, this, [this] { mnuImpModPrepReceClick(); });
}

QList<QAction*> ModoPreparo::criaMenus()
{
    // The service sub-page's item is the pages menu's own.
    QMenu* modos = m_menuPaginas.addMenu(QStringLiteral("Modos de P&reparo"));
    QAction* padrao = modos->addAction(QStringLiteral("&Padrão"));
    padrao->setObjectName(QStringLiteral("mnuModoPadrao"));
    QAction* local = modos->addAction(QStringLiteral("&Local"));
    local->setObjectName(QStringLiteral("mnuModoLocal"));
    return {padrao, local, &m_mnuModoServico};
}

void ModoPreparo::conecta()
{
    guardedConnect(m_sbtAtiva, &QToolButton::clicked, this, [this] { sbtAtivaClick(); });
    guardedConnect(m_sbtDesativa, &QToolButton::clicked, this, [this] { sbtDesativaClick(); });
    guardedConnect(m_sbtSalva, &QToolButton::clicked, this, [this] { sbtSalvaClick(); });
    guardedConnect(m_sbtImpArquiv, &QToolButton::clicked, this, [this] {
        if (!ativoOuIncluindo()) {
            QApplication::beep();
            return;
        }
        m_pmnImporta->popup(QCursor::pos());
    });
    m_barra->antesDeAlterar = [this] { visivel().iniciaEdicao(); };

    m_subPaginas->ligaTroca(this, [this] { pgcModoPrepChange(); });
    m_subPaginas->ligaMenus(this, criaMenus(), [this] { pgcModoPrepChange(); });

    for (PaginaPreparo* page : m_paginas) {
        ClientDataSet* ds = page->dataSet();
        const auto refresh = [this, page] {
            if (&visivel() == page && m_contexto.paginaVisivel() == &m_pagina)
                mostraAtivacao();
        };
        guardedConnect(ds, &ClientDataSet::stateChanged, this, refresh);
        guardedConnect(ds, &ClientDataSet::currentChanged, this, refresh);
        guardedConnect(ds, &ClientDataSet::rowsReset, this, refresh);
        guardedConnect(ds, &ClientDataSet::fieldChanged, this, refresh);
    }

    conectaSeletores();
}

void ModoPreparo::conectaSeletores()
{
    m_edtNmFiliPrep = ligaSeletoresSubPaginas(m_contexto, this, {"medCdFiliPrep", "edtNmFiliPrep", "btpFiliPrep"},
                                              {"medCdFiliServPrep", "edtNmFiliServPrep", "btpFiliServPrep"},
                                              {"medCdServPrep", "edtNmServPrep", "btpServPrep"},
                                              [this] { medCdFiliPrepExit(); });

    // Entering the branch of the branch sub-page shows no mode and leaves the toolbar off until
    // the branch is confirmed.
    auto* filial = componente<TMaskEdit>(m_contexto.janela(), "medCdFiliPrep");
    installGuardedEventFilter(filial, [this](QObject*, QEvent* event) {
        if (event->type() == QEvent::FocusIn && !m_paginas[1]->editando()) {
            ClientDataSet* ds = m_paginas[1]->dataSet();
            ds->setFilter(QStringLiteral("CDFILAUXPRAT  = '' AND CDPRATO  = '' AND CDFILIAL = ''"));
            ds->setFiltered(true);
            m_contexto.Habilita_Botoes(m_paginas[1]->fonte(), false);
        }
        return false;
    });
    // Leaving the service sub-page's selectors shows that branch's and service's modes.
    new PanelFocus(componente<QWidget>(m_contexto.janela(), "panPrepServ"), {}, [this] {
        if (m_abas.currentWidget() == m_paginas[2]->aba())
            pgcModoPrepChange();
    });
}

void ModoPreparo::registra(TabelaPaginas& paginas)
{
    m_subPaginas->registra(paginas);
}

PaginaPreparo& ModoPreparo::visivel() const
{
    return static_cast<PaginaPreparo&>(m_subPaginas->visivel());
}

void ModoPreparo::pgcModoPrepChange()
{
    PaginaPreparo& page = visivel();
    m_subPaginas->marcaVisivel();
    m_contexto.Limpa_Componentes();
    m_barra->setEditor(page.editor());
    const bool complete = m_contexto.pratos().Active() && !m_contexto.pratos().IsEmpty();
    if (complete)
        page.carrega();
    m_contexto.fonteComandos().setDataSet(page.dataSet());
    m_dbeNrPrep->setDataField(QLatin1String(page.campos().numero));
    m_dbeNomeMod->setDataField(QLatin1String(page.campos().responsavel));
    m_dbeNrPrep->setDataSource(page.fonte());
    m_dbeNomeMod->setDataSource(page.fonte());
    m_dbnNavModPrep->setDataSource(page.fonte());
    // Off while the level's branch or service is being chosen.
    m_contexto.AtualizaBotoes();
    mostraAtivacao();
}

void ModoPreparo::mostraAtivacao()
{
    PaginaPreparo& page = visivel();
    ClientDataSet* ds = page.dataSet();
    const bool vazio = !ds->Active() || (ds->IsEmpty() && !page.editando());
    for (PaginaPreparo* each : m_paginas)
        each->editor()->setReadOnly(vazio || m_contexto.consulta());
    m_dbeNomeMod->setReadOnly(vazio || m_contexto.consulta());
    const bool desativado = page.desativado();
    m_sbtAtiva->setVisible(desativado);
    m_sbtDesativa->setVisible(!desativado);
    for (PaginaPreparo* each : m_paginas) {
        QPalette palette = each->editor()->palette();
        palette.setColor(QPalette::Base, QApplication::palette().color(desativado ? QPalette::Button : QPalette::Base));
        each->editor()->setPalette(palette);
    }
    m_dbnNavModPrep->setEnabled(ds->state() == State::Browse);
    // The find command has no work on this page.
    m_contexto.comando(Comando::Procurar).setEnabled(false);
}

bool ModoPreparo::ativoOuIncluindo() const
{
    // An empty level counts as active: a first mode may come from a file or another dish.
    return !visivel().desativado();
}

void ModoPreparo::sbtAtivaClick()
{
    visivel().ativa();
}

void ModoPreparo::sbtDesativaClick()
{
    visivel().desativa();
}

void ModoPreparo::sbtSalvaClick()
{
    if (!ativoOuIncluindo()) {
        QApplication::beep();
        return;
    }
    FileRequest request;
    request.title = QStringLiteral("Salvar para o Arquivo");
    request.filter = QLatin1String(filtroArquivo);
    request.filterIndex = 2;
    request.defaultExt = QStringLiteral("rtf");
    const QString path = dialogs().saveFileName(request);
    if (!path.isEmpty())
        visivel().editor()->SaveToFile(path);
}

void ModoPreparo::mnuImpArquivoClick()
{
    FileRequest request;
    request.title = QStringLiteral("Abrir o Arquivo");
    request.filter = QLatin1String(filtroAbrir);
    request.filterIndex = 2;
    request.defaultExt = QStringLiteral("rtf");
    const QString path = dialogs().openFileName(request);
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Não foi possível abrir o arquivo \"%1\".").arg(path));
    visivel().importaArquivo(file.readAll());
}

void ModoPreparo::mnuImpModPrepReceClick()
{
    ClientDataSet* dishes = &m_contexto.carregaPratosDaFilial();
    const auto unfilter = qScopeGuard([dishes] { dishes->setFiltered(false); });
    // Dishes of the last level only.
    dishes->setFilter(QStringLiteral("CDNVPRATO = ") + QuotedStr(QString::number(hostContext().DBPictObj(1).GetTtNiveis())));
    dishes->setFiltered(true);
    if (!Pesquisar(*dishes, m_contexto.mensagens().Msg(QStringLiteral("PRATO")) + u'|'
                                + m_contexto.mensagens().Msg(QStringLiteral("PRATO_INF")),
                   {QStringLiteral("CDPRATO"), QStringLiteral("NMPRATO")}))
        return;
    PaginaPreparo& page = visivel();
    const QStringList key = page.chave();
    const QString letter = QString(QLatin1Char(page.campos().letra));
    QVariantList args{dishes->FieldByName(QStringLiteral("CDFILAUXPRAT"))->AsString(),
                      dishes->FieldByName(QStringLiteral("CDPRATO"))->AsString(), key.value(2), key.value(3), letter};
    ClientDataSet imported(nullptr, QStringLiteral("cdsImportaPrep"));
    loadPacket(&imported, m_contexto.servidor().call(QStringLiteral("GetImportaPrep"), args,
                                                        QStringLiteral("get_cdsImportaPrep")));
    page.importaTexto(imported.IsEmpty() ? QByteArray() : imported.FieldByName(QStringLiteral("TXPREPARO"))->AsBlob());
}

// --- Selectors ---------------------------------------------------------------------------------

void ModoPreparo::medCdFiliPrepExit()
{
    validaFilial(*componente<TMaskEdit>(m_contexto.janela(), "medCdFiliPrep"), *m_edtNmFiliPrep, true);
    PaginaPreparo& page = *m_paginas[1];
    page.filtra();
    m_contexto.AtualizaBotoes();
}

} // namespace recipe
