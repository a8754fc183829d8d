#include "fotoprato.h"

#include "recipe/core/componente.h"
#include "recipe/core/enviador.h"
#include "recipe/core/contextoreceita.h"
#include "paginafoto.h"
#include "recipe/core/seletorcodigo.h"
#include "subpaginas.h"
#include "recipe/core/tabelapaginas.h"

#include "framework/abort.h"
#include "framework/core/dbpicture.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/forms/panelfocus.h"
#include "framework/ui/dbcheckbox.h"
#include "framework/ui/dbedit.h"
#include "framework/ui/dbimage.h"
#include "framework/ui/dbnavigator.h"
#include "framework/ui/dialogs.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "server/connection.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>

using namespace framework;

namespace recipe {

namespace {

using State = ClientDataSet::State;

const CamposFoto niveis[] = {
    {{'P', "tshFotoPad", "dtsFotoPraPad", "cdsFotoPraPad", {}, "NRFOTOPRAPAD", "IDFOTOPRAPAD", "GetFotoPraPad",
      "UpdFotoPraPad"},
     "imgFtoPad",
     {"CDFILAUXPRAT", "CDPRATO", "NRFOTOPRAPAD", "IDFOTOPRAPAD", "IDAJUSFOTPAD", "FGFOTOPRAPAD"},
     "IDAJUSFOTPAD",
     "FGFOTOPRAPAD"},
    {{'F', "tshFotoFil", "dtsFotoPraFil", "cdsFotoPraFil", {"CDFILIAL"}, "NRFOTOPRAFIL", "IDFOTOPRAFIL",
      "GetFotoPraFil", "UpdFotoPraFil"},
     "imgFtoFili",
     {"CDPRATO", "CDFILAUXPRAT", "CDFILIAL", "IDFOTOPRAFIL", "IDAJUSFOTFIL", "FGFOTOPRAFIL", "NRFOTOPRAFIL"},
     "IDAJUSFOTFIL",
     "FGFOTOPRAFIL"},
    {{'S', "tshFotoSer", "dtsFotoPraServ", "cdsFotoPraSer", {"CDFILIAL", "CDSERVFILI"}, "NRFOTOPRASER",
      "IDFOTOPRASER", "GetFotoPraSer", "UpdFotoPraSer"},
     "imgFtoServ",
     {"CDFILAUXPRAT", "CDPRATO", "CDFILIAL", "IDFOTOPRASER", "IDAJUSFOTSER", "FGFOTOPRASER", "CDSERVFILI",
      "NRFOTOPRASER"},
     "IDAJUSFOTSER",
     "FGFOTOPRASER"},
};

const char* const filtroImagem = "All (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp|JPG Image File (*.jpg)|*.jpg|"
                                 "JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp";


} // namespace

FotoPrato::FotoPrato(ContextoReceita& contexto, QWidget& pagina, QTabWidget& abas, QMenu& menuPaginas)
    : QObject(&contexto.janela()), m_contexto(contexto), m_pagina(pagina), m_abas(abas), m_menuPaginas(menuPaginas),
      m_enviador(std::make_unique<Enviador>(contexto.servidor()))
{
    setObjectName(QStringLiteral("fotoPrato"));
    abas.setCurrentWidget(componente<QWidget>(abas, "tshFotoPad"));
    adicionaMensagens();
    criaControles();
    m_paginas[0] = new PaginaFoto(contexto, niveis[0], *m_enviador, {});
    m_paginas[1] =
        new PaginaFoto(contexto, niveis[1], *m_enviador, {{componente<TMaskEdit>(contexto.janela(), "medCdFiliFto"), "edtNmFiliFto"}});
    m_paginas[2] = new PaginaFoto(contexto, niveis[2], *m_enviador,
                                  {{componente<TMaskEdit>(contexto.janela(), "medCdFiliServFto"), "edtNmFiliServFto"},
                                   {componente<TMaskEdit>(contexto.janela(), "medCdServFto"), "edtNmServFto"}});
    m_subPaginas = std::make_unique<SubPaginas>(contexto, &pagina, &abas);
    for (PaginaFoto* page : m_paginas)
        m_subPaginas->adiciona(page);
    conecta();
}

FotoPrato::~FotoPrato() = default;

void FotoPrato::adicionaMensagens()
{
    m_contexto.mensagens().Add({
        {"get_cdsFotoPraPad", "Carregando foto do prato (Padrão)..."},
        {"get_cdsFotoPraFil", "Carregando foto do prato (Filial)..."},
        {"get_cdsFotoPraSer", "Carregando foto do prato (Serviço)..."},
        {"upd_cdsFotoPraPad", "Atualizando foto do prato (Padrão)..."},
        {"upd_cdsFotoPraFil", "Atualizando foto do prato (Filial)..."},
        {"upd_cdsFotoPraSer", "Atualizando foto do prato (Serviço)..."},
        {"get_cdsProxCodigoFto", "Importando próximo código para fotos..."},
        {"FOTO_EMPTY", "Foto deve ser informada."},
        {"FOTPAD_N_PRATLOCA", "Foto padrão não pode ser incluída para prato local."},
        {"FOTOPRAT_N_INC", "Foto padrão não pode ser incluída em módulo filial."},
        {"FOTOPRAT_N_ALT", "Foto padrão não pode ser alterada em módulo filial."},
        {"FOTOPRAT_N_EXC", "Foto padrão não pode ser excluída em módulo filial."},
        {"ATIVA", "Ativada"},
        {"DESATIVADA", "Desativada"},
    });
}

void FotoPrato::criaControles()
{
    m_lblAtivDesat = componente<QLabel>(m_contexto.janela(), "lblAtivDesat");
    m_dbeNrFoto = componente<TDBEdit>(m_contexto.janela(), "dbeNrFoto");
    m_dbeNrFoto->setReadOnly(true);
    m_dbcAjustaFto = componente<TDBCheckBox>(m_contexto.janela(), "dbcAjustaFto");
    m_dbcAjustaFto->setText(QStringLiteral("Ajustar"));
    m_dbnNavFoto = componente<TDBNavigator>(m_contexto.janela(), "dbnNavFoto");
    m_sbtAtivaFto = componente<QToolButton>(m_contexto.janela(), "sbtAtivaFto");
    m_sbtAtivaFto->setText(QStringLiteral("Ativar Foto"));
    m_sbtDesativaFto = componente<QToolButton>(m_contexto.janela(), "sbtDesativaFto");
    m_sbtDesativaFto->setText(QStringLiteral("Desativar Foto"));
    m_sbtAbrirFto = componente<QToolButton>(m_contexto.janela(), "sbtAbrirFto");
    m_sbtAbrirFto->setText(QStringLiteral("Abrir Foto"));
}

QList<QAction*> FotoPrato::criaMenus()
{
    QMenu* fotos = m_menuPaginas.addMenu(QStringLiteral("Fo&tos"));
    QList<QAction*> menus;
    for (const auto& [name, caption] : {std::pair{"mnuFotoPadrao", "&Padrão"}, std::pair{"mnuFotoLocal", "&Local"},
                                        std::pair{"mnuFotoServico", "&Serviço"}}) {
        menus << fotos->addAction(QString::fromUtf8(caption));
        menus.last()->setObjectName(QLatin1String(name));
    }
    return menus;
}

void FotoPrato::conecta()
{
    guardedConnect(m_sbtAtivaFto, &QToolButton::clicked, this, [this] { sbtAtivaFtoClick(); });
    guardedConnect(m_sbtDesativaFto, &QToolButton::clicked, this, [this] { sbtDesativaFtoClick(); });
    guardedConnect(m_sbtAbrirFto, &QToolButton::clicked, this, [this] { sbtAbrirFtoClick(); });
    guardedConnect(m_dbcAjustaFto, &QCheckBox::clicked, this, [this] { dbcAjustaFtoClick(); });

    m_subPaginas->ligaTroca(this, [this] { pgcFotoChange(); });
    m_subPaginas->ligaMenus(this, criaMenus(), [this] { pgcFotoChange(); });

    for (PaginaFoto* page : m_paginas) {
        const auto shown = [this, page] {
            return &visivel() == page && m_contexto.paginaVisivel() == &m_pagina;
        };
        guardedConnect(page->fonte(), &DataSource::stateChanged, this, [this, page, shown] {
            if (!shown())
                return;
            m_contexto.Habilita_Desabilita(page->fonte());
            // The other pages wait while a photo is being edited.
            if (page->editando() || m_paginasTravadas) {
                m_paginasTravadas = page->editando();
                m_contexto.Habilita_Pagina(!m_paginasTravadas);
            }
            mostraEstado();
        });
        const auto refresh = [this, shown] {
            if (shown())
                mostraEstado();
        };
        guardedConnect(page->dataSet(), &ClientDataSet::currentChanged, this, refresh);
        guardedConnect(page->dataSet(), &ClientDataSet::rowsReset, this, refresh);
        guardedConnect(page->dataSet(), &ClientDataSet::fieldChanged, this, refresh);
    }
    conectaSeletores();
}

void FotoPrato::conectaSeletores()
{
    m_edtNmFiliFto = ligaSeletoresSubPaginas(m_contexto, this, {"medCdFiliFto", "edtNmFiliFto", "btnFtoFili"},
                                             {"medCdFiliServFto", "edtNmFiliServFto", "btnFtoFiliServ"},
                                             {"medCdServFto", "edtNmServFto", "btnFtoServ"}, [this] { medCdFiliFtoExit(); });

    // Entering a selector panel shows no photo of the former choice and leaves the toolbar off
    // until the choice is confirmed; leaving the service panel shows the service's photos.
    const auto entra = [this](int level) {
        PaginaFoto& page = *m_paginas[level];
        if (page.editando())
            return;
        page.esvazia();
        m_contexto.Habilita_Botoes(page.fonte(), false);
    };
    new PanelFocus(componente<QWidget>(m_contexto.janela(), "panFotoFili"), [entra] { entra(1); }, {});
    new PanelFocus(componente<QWidget>(m_contexto.janela(), "panFotoServ"), [entra] { entra(2); }, [this] {
        if (m_abas.currentWidget() == m_paginas[2]->aba())
            pgcFotoChange();
    });
}

void FotoPrato::registra(TabelaPaginas& paginas)
{
    m_subPaginas->registra(paginas);
}

PaginaFoto& FotoPrato::visivel() const
{
    return static_cast<PaginaFoto&>(m_subPaginas->visivel());
}

void FotoPrato::pgcFotoChange()
{
    PaginaFoto& page = visivel();
    m_subPaginas->marcaVisivel();
    m_contexto.Limpa_Componentes();
    // A selector being typed in keeps the level's photos away until it is left.
    bool selecionando = false;
    for (const char* name : {"medCdFiliFto", "medCdFiliServFto", "medCdServFto"})
        if (page.aba()->isAncestorOf(componente<QWidget>(m_contexto.janela(), name)) && componente<QWidget>(m_contexto.janela(), name)->hasFocus())
            selecionando = true;
    const bool complete = m_contexto.pratos().Active() && !m_contexto.pratos().IsEmpty()
                          && m_contexto.pratos().FieldByName(QStringLiteral("CDNVPRATO"))->AsString()
                                 == QString::number(hostContext().DBPictObj(1).GetTtNiveis());
    if (complete && !selecionando)
        page.carrega();
    m_contexto.fonteComandos().setDataSet(page.dataSet());
    m_dbeNrFoto->setDataField(QLatin1String(page.campos().numero));
    m_dbcAjustaFto->setDataField(QLatin1String(page.campos().ajuste));
    m_dbeNrFoto->setDataSource(page.fonte());
    m_dbcAjustaFto->setDataSource(page.fonte());
    m_dbnNavFoto->setDataSource(page.fonte());
    if (page.campos().letra == 'P')
        m_contexto.Habilita_Desabilita(page.fonte());
    else
        m_contexto.Habilita_Botoes(page.fonte(), !selecionando);
    mostraEstado();
}

void FotoPrato::mostraEstado()
{
    PaginaFoto& page = visivel();
    const QString flag = page.flag();
    m_lblAtivDesat->clear();
    for (PaginaFoto* each : m_paginas) {
        each->imagem()->setReadOnly(flag == u"2");
        each->imagem()->setFit(page.ajustado());
    }
    const bool ativa = flag == u"1";
    m_sbtAtivaFto->setVisible(!ativa);
    m_sbtDesativaFto->setVisible(ativa);
    if (ativa)
        m_lblAtivDesat->setText(m_contexto.mensagens().Msg(QStringLiteral("ATIVA")));
    else if (flag == u"2")
        m_lblAtivDesat->setText(m_contexto.mensagens().Msg(QStringLiteral("DESATIVADA")));
    m_dbnNavFoto->setEnabled(page.dataSet()->state() == State::Browse);
    // The find command has no work on this page.
    m_contexto.comando(Comando::Procurar).setEnabled(false);
}

void FotoPrato::sbtAtivaFtoClick()
{
    visivel().ativa();
}

void FotoPrato::sbtDesativaFtoClick()
{
    visivel().desativa();
}

void FotoPrato::sbtAbrirFtoClick()
{
    PaginaFoto& page = visivel();
    if (page.desativado()) {
        QApplication::beep();
        return;
    }
    FileRequest request;
    request.title = QStringLiteral("Abrir Foto");
    request.filter = QLatin1String(filtroImagem);
    const QString path = dialogs().openFileName(request);
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Não foi possível abrir o arquivo \"%1\".").arg(path));
    page.abre(file.readAll());
}

void FotoPrato::dbcAjustaFtoClick()
{
    for (PaginaFoto* page : m_paginas)
        page->imagem()->setFit(m_dbcAjustaFto->isChecked());
}

// --- Selectors ---------------------------------------------------------------------------------

void FotoPrato::medCdFiliFtoExit()
{
    validaFilial(*componente<TMaskEdit>(m_contexto.janela(), "medCdFiliFto"), *m_edtNmFiliFto, false);
    if (m_contexto.paginaVisivel() == &m_pagina && &visivel() == m_paginas[1])
        pgcFotoChange();
}

} // namespace recipe
