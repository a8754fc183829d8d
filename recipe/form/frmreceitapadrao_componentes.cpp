// The form's components: pages, branch panel, datasets, queries, connections and messages.
#include "frmreceitapadrao.h"

#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"
#include "server/connection.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace framework;

namespace {

template <class W>
W* named(W* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

QWidget* page(QTabWidget* tabs, const QString& name, const QString& caption)
{
    auto* widget = named(new QWidget(tabs), name);
    tabs->addTab(widget, caption);
    return widget;
}

QLineEdit* nameEdit(QWidget* parent, const QString& name, int width)
{
    auto* edit = named(new QLineEdit(parent), name);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    edit->setMinimumWidth(width);
    return edit;
}

} // namespace

void TfrmReceitaPadrao::addMessages()
{
    msgPadrao = new TMessages(this, QStringLiteral("msgPadrao"));
    msgPadrao->Add({
        {"PADRAO", "Padrão"},
        {"LOCAL", "Local"},
        {"FILIAL", "Filial"},
        {"N_FILI_CAD", "Não há filial cadastrada."},
        {"CENTRAL", "Central"},
        {"N_HA_CENTRAL", "Não há central de merenda cadastrada."},
        {"CENTRAL_N_INF", "Central deve ser informada."},
        {"CENTRAL_N_CAD", "Central informada não cadastrada."},
        {"get_cdsPrato", "Carregando pratos..."},
        {"get_cdsParamPlaneja", "Carregando parâmetros de planejamento..."},
        {"get_cdsParamGeral", "Carregando parâmetros gerais..."},
        {"get_cdsGerParamGeral", "Carregando parâmetros gerais..."},
        {"get_cdsCentral", "Carregando centrais..."},
        {"pro_Conectar", "Conectando ao servidor de aplicação..."},
        {"SAIR_PENDENTE", "Existem alterações não confirmadas. Deseja confirmá-las antes de sair?"},
        {"PRATO_PENDENTE", "Existem alterações não confirmadas em \"%s\". Confirme-as ou cancele-as antes de "
                           "trocar de prato."},
    });
}

void TfrmReceitaPadrao::createDataSets()
{
    const auto dataSet = [this](const char* name) { return new ClientDataSet(this, QString::fromLatin1(name)); };
    cdsPrato = dataSet("cdsPrato");
    cdsParamGeral = dataSet("cdsParamGeral");
    cdsParamPlaneja = dataSet("cdsParamPlaneja");
    cdsGerParamGeral = dataSet("cdsGerParamGeral");
    cdsCentral = dataSet("cdsCentral");
    cdsVerifProd = dataSet("cdsVerifProd");
    cdsProdPrat = dataSet("cdsProdPrat");
    cdsDadosPrat = dataSet("cdsDadosPrat");
    cdsReceTpCard = dataSet("cdsReceTpCard");
    cdsPratTpCard = dataSet("cdsPratTpCard");
    cdsReceFili = dataSet("cdsReceFili");
    cdsPratFili = dataSet("cdsPratFili");
    cdsReceServ = dataSet("cdsReceServ");
    cdsPratServ = dataSet("cdsPratServ");

    cdsCentral->AddField(QStringLiteral("CDCENTRAL"), FieldType::String, 4)->setDisplayLabel(QStringLiteral("Código"));
    cdsCentral->AddField(QStringLiteral("NMCENTRAL"), FieldType::String, 30)->setDisplayLabel(QStringLiteral("Nome"));
    cdsCentral->setIndexFieldNames(QStringLiteral("CDCENTRAL"));

    dtsPrato = new DataSource(this, QStringLiteral("dtsPrato"));
    dtsPrato->setDataSet(cdsPrato);
    dtsCentral = new DataSource(this, QStringLiteral("dtsCentral"));
    dtsCentral->setDataSet(cdsCentral);

    const auto query = [this](const char* name, const char* sql) {
        auto* q = new Query(this, QString::fromLatin1(name));
        q->setSQL(QString::fromLatin1(sql));
        return q;
    };
    qryFilialPesq = query("qryFilialPesq", "SELECT CDFILIAL, NMFILIAL FROM FILIAL WHERE CDFILIAL = :P_CDFILIAL");
    qryFilial = query("qryFilial", "SELECT CDFILIAL, NMFILIAL FROM FILIAL ORDER BY CDFILIAL");
    qryFilial->AddField(QStringLiteral("CDFILIAL"), FieldType::String, 4)->setDisplayLabel(QStringLiteral("Código"));
    qryFilial->AddField(QStringLiteral("NMFILIAL"), FieldType::String, 30)->setDisplayLabel(QStringLiteral("Nome"));
    qryParamGeral = query("qryParamGeral", "SELECT IDCACHPRODFI, IDPESQCOMPPROD FROM PARAMGERAL");
    qryFiliCentAgreg = query(
        "qryFiliCentAgreg",
        "SELECT A.CDFILIAL, A.NMFILIAL, B.CDFILIAL AS CDCENTRAL, B.NMFILIAL AS NMCENTRAL FROM FILIAL A, FILIAL B "
        "WHERE A.CDFILIAL = :P_CDFILIAL AND (((A.CDFILIAL = B.CDFILIAL) AND (A.IDFILCENTPME = 'S')) OR "
        "(A.CDFILCENTPME IS NOT NULL AND A.CDFILCENTPME = B.CDFILIAL))");

    const auto connection = [this](const char* name, const char* serverObject) {
        auto* c = new server::Connection(this, QString::fromLatin1(name), QString::fromLatin1(serverObject));
        c->setMessages(msgPadrao);
        return c;
    };
    netReceitaPadrao = connection("netReceitaPadrao", "Pla01300.rdmReceitaPadrao");
    netAutoriza = connection("netAutoriza", "Est.rdmAutoriza");
}

void TfrmReceitaPadrao::createBranchPanel()
{
    panFiliPrato = named(new QWidget(panPrincipal), QStringLiteral("panFiliPrato"));
    auto* row = new QHBoxLayout(panFiliPrato);
    row->setContentsMargins(4, 4, 4, 4);
    lblNmFilial = named(new QLabel(QStringLiteral("Filial"), panFiliPrato), QStringLiteral("lblNmFilial"));
    medCdFilial_pan = new TMaskEdit(panFiliPrato, QStringLiteral("medCdFilial_pan"));
    medCdFilial_pan->setEditMask(QStringLiteral(">aaaa"));
    medCdFilial_pan->setMaximumWidth(70);
    lblNmFilial->setBuddy(medCdFilial_pan);
    btnFilial = new TBtnPesquisa(panFiliPrato, QStringLiteral("btnFilial"));
    edtNmFilial = nameEdit(panFiliPrato, QStringLiteral("edtNmFilial"), 240);
    row->addWidget(lblNmFilial);
    row->addWidget(medCdFilial_pan);
    row->addWidget(btnFilial);
    row->addWidget(edtNmFilial, 1);
    panPrincipal->layout()->addWidget(panFiliPrato);
}

void TfrmReceitaPadrao::createPages()
{
    pgcPadrao = named(new QTabWidget(panPrincipal), QStringLiteral("pgcPadrao"));
    tshFormulario = page(pgcPadrao, QStringLiteral("tshFormulario"), QStringLiteral("Formulário"));
    tshPadrao = page(pgcPadrao, QStringLiteral("tshPadrao"), QStringLiteral("Receita Padrão"));
    tshTpCard = page(pgcPadrao, QStringLiteral("tshTpCard"), QStringLiteral("Receita Tp. Cardápio"));
    tshReceLoca = page(pgcPadrao, QStringLiteral("tshReceLoca"), QStringLiteral("Receita Local"));
    tshReceServ = page(pgcPadrao, QStringLiteral("tshReceServ"), QStringLiteral("Receita por Serviço"));
    tshModoPrep = page(pgcPadrao, QStringLiteral("tshModoPrep"), QStringLiteral("Modo de Preparo"));
    tshFoto = page(pgcPadrao, QStringLiteral("tshFoto"), QStringLiteral("Foto"));
    panPrincipal->layout()->addWidget(pgcPadrao);

    pgcModoPrep = named(new QTabWidget(tshModoPrep), QStringLiteral("pgcModoPrep"));
    tshFolhaDados = page(pgcModoPrep, QStringLiteral("tshFolhaDados"), QStringLiteral("Folha de Dados"));
    tshPrepPad = page(pgcModoPrep, QStringLiteral("tshPrepPad"), QStringLiteral("Padrão"));
    tshPrepFil = page(pgcModoPrep, QStringLiteral("tshPrepFil"), QStringLiteral("Filial"));
    tshPrepSer = page(pgcModoPrep, QStringLiteral("tshPrepSer"), QStringLiteral("Serviço"));
    (new QVBoxLayout(tshModoPrep))->addWidget(pgcModoPrep);

    pgcFoto = named(new QTabWidget(tshFoto), QStringLiteral("pgcFoto"));
    tshFotoPad = page(pgcFoto, QStringLiteral("tshFotoPad"), QStringLiteral("Padrão"));
    tshFotoFil = page(pgcFoto, QStringLiteral("tshFotoFil"), QStringLiteral("Local"));
    tshFotoSer = page(pgcFoto, QStringLiteral("tshFotoSer"), QStringLiteral("Serviço"));
    (new QVBoxLayout(tshFoto))->addWidget(pgcFoto);

    // The menu-type page's header: central and menu type.
    panTpCard = named(new QWidget(tshTpCard), QStringLiteral("panTpCard"));
    auto* header = new QHBoxLayout(panTpCard);
    lblCentral = named(new QLabel(QStringLiteral("Central"), panTpCard), QStringLiteral("lblCentral"));
    medCdCentral = new TMaskEdit(panTpCard, QStringLiteral("medCdCentral"));
    medCdCentral->setEditMask(QStringLiteral(">aaaa"));
    medCdCentral->setMaximumWidth(70);
    lblCentral->setBuddy(medCdCentral);
    auto* centralButton = named(new QToolButton(panTpCard), QStringLiteral("btnCentral"));
    sbtCentral = named(new QAction(QStringLiteral("..."), centralButton), QStringLiteral("sbtCentral"));
    centralButton->setDefaultAction(sbtCentral);
    edtNmCentral = nameEdit(panTpCard, QStringLiteral("edtNmCentral"), 200);
    edtNmCentral->setEnabled(false);
    medCdTpCard = new TMaskEdit(panTpCard, QStringLiteral("medCdTpCard"));
    medCdTpCard->setMaximumWidth(110);
    edtNmTpCard = nameEdit(panTpCard, QStringLiteral("edtNmTpCard"), 200);
    for (QWidget* w : {static_cast<QWidget*>(lblCentral), static_cast<QWidget*>(medCdCentral),
                       static_cast<QWidget*>(centralButton), static_cast<QWidget*>(edtNmCentral),
                       static_cast<QWidget*>(medCdTpCard), static_cast<QWidget*>(edtNmTpCard)})
        header->addWidget(w);
    (new QVBoxLayout(tshTpCard))->addWidget(panTpCard);

    // Page menu: each item shows its page.
    mnuPaginas = named(mnuPrincipal->addMenu(QStringLiteral("&Páginas")), QStringLiteral("mnuPaginas"));
    const auto item = [this](const char* name, const QString& caption) {
        auto* action = named(mnuPaginas->addAction(caption), QString::fromLatin1(name));
        action->setCheckable(true);
        return action;
    };
    mnuFormulario = item("mnuFormulario", QStringLiteral("&Formulário"));
    mnuPadrao = item("mnuPadrao", QStringLiteral("Receita &Padrão"));
    mnuTpCard = item("mnuTpCard", QStringLiteral("Receita &Tp. Cardápio"));
    mnuLocal = item("mnuLocal", QStringLiteral("Receita &Local"));
    mnuServico = item("mnuServico", QStringLiteral("Receita por &Serviço"));
    mnuModoPrep = item("mnuModoPrep", QStringLiteral("&Modo de Preparo"));
    mnuModoServico = named(mnuPaginas->addAction(QStringLiteral("Modo de Preparo por Ser&viço")),
                           QStringLiteral("mnuModoServico"));
    mnuFoto = item("mnuFoto", QStringLiteral("F&oto"));
    mnuPercentual = named(mnuManutencao->addAction(QStringLiteral("Replicar/Alterar Percentual de Receitas por Serviço")),
                          QStringLiteral("mnuPercentual"));
    mnuPercentual->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
}
