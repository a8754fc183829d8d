#include "frmreceprod.h"

#include "companions/common/formcompanheiro.h"

#include "framework/core/consiste.h"
#include "framework/core/tipocard.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datapacket.h"
#include "framework/ui/btnpesquisa.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"
#include "framework/ui/search.h"
#include "framework/ui/tabvalid.h"
#include "server/connection.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

using namespace framework;
using companions::falha;
using companions::codeAndName;
using companions::FocoNaFalha;
using companions::query;
using companions::radio;

namespace {

QWidget* page(QStackedWidget* notebook, const char* name)
{
    auto* w = new QWidget(notebook);
    w->setObjectName(QString::fromLatin1(name));
    notebook->addWidget(w);
    return w;
}

} // namespace

TfrmReceProd::TfrmReceProd(QWidget* parent) : TfrmDadosGerRel(QStringLiteral("PLA055"), parent)
{
    setObjectName(QStringLiteral("frmReceProd"));
    setWindowTitle(QStringLiteral("Receitas por Produto"));
    resize(660, 560);
    createData();
    createComponents();
    connectHandlers();
}

TfrmReceProd::~TfrmReceProd() = default;

void TfrmReceProd::createData()
{
    msgPadrao = new TMessages(this, QStringLiteral("msgPadrao"));
    msgPadrao->Add({
        {"Arq_Rel_Err", "O arquivo contendo a definição do relatório de código '%s' não foi encontrado no diretório '%s'."},
        {"NovoCaption", "Título do relatório"},
        {"NovoPrompt", "Informe o título do relatório:"},
        {"ProdIni_inf", "Produto inicial deve ser informado."},
        {"Prod_nc", "Produto não cadastrado."},
        {"ProdFin_inf", "Produto final deve ser informado."},
        {"Fin>Ini", "Produto final deve ser maior ou igual ao produto inicial."},
        {"Filial_nc", "Filial não cadastrada."},
        {"FILI_CNT", "Filial com contrato rescindido."},
        {"Serv_inf", "Serviço deve ser informado."},
        {"Serv_nc", "Serviço não cadastrado."},
        {"FILI_EMPTY", "Filial deve ser informada."},
        {"Prod", "Produto"},
        {"Prod_Empty", "Não há produto cadastrado."},
        {"PROD_INATIVO", "Produto não cadastrado para filial ou inativo."},
        {"GRUPFILI_EMPTY", "Agrupamento de Filial não cadastrado."},
        {"SERVICO", "Serviço"},
        {"N_SERV_CAD", "Não há Serviço cadastrado."},
        {"N_FILI_CAD", "Não há Filial cadastrada."},
        {"TPCARD_EMPTY", "Tipo de Cardápio deve ser informado."},
        {"TPCARD_NCAD", "Tipo de Cardápio não cadastrado."},
        {"FILIAL", "Filial"},
        {"get_cdsAgrupFili", "Carregando agrupamentos de filiais..."},
        {"get_cdsFilial", "Carregando filiais do agrupamento..."},
        {"get_cdsServico", "Carregando serviços..."},
    });

    netReceitaProd = companions::conexao(this, QStringLiteral("netReceitaProd"), QStringLiteral("Pla01300.rdmReceitaPadrao"), msgPadrao);

    cdsAgrupFili = new ClientDataSet(this, QStringLiteral("cdsAgrupFili"));
    cdsAgrupFili->AddField(QStringLiteral("CDGRUPFILI"), FieldType::String, 10)->setDisplayLabel(QStringLiteral("Código"));
    cdsAgrupFili->AddField(QStringLiteral("NMGRUPFILI"), FieldType::String, 40)->setDisplayLabel(QStringLiteral("Nome"));
    cdsFilial = new ClientDataSet(this, QStringLiteral("cdsFilial"));
    cdsFilial->AddField(QStringLiteral("IDMARCADO"), FieldType::String, 1)->setVisible(false);
    cdsFilial->AddField(QStringLiteral("CDFILIAL"), FieldType::String, 4)->setDisplayLabel(QStringLiteral("Código"));
    cdsFilial->AddField(QStringLiteral("NMFILIAL"), FieldType::String, 30)->setDisplayLabel(QStringLiteral("Nome"));
    cdsServico = new ClientDataSet(this, QStringLiteral("cdsServico"));
    cdsServico->AddField(QStringLiteral("IDMARCADO"), FieldType::String, 1)->setVisible(false);
    cdsServico->AddField(QStringLiteral("NMFILIAL"), FieldType::String, 30)->setDisplayLabel(QStringLiteral("Filial"));
    cdsServico->AddField(QStringLiteral("CDCHAVE"), FieldType::String, 9)->setDisplayLabel(QStringLiteral("Chave"));
    cdsServico->AddField(QStringLiteral("CDSERVFILI"), FieldType::String, 5)->setDisplayLabel(QStringLiteral("Código"));
    cdsServico->AddField(QStringLiteral("NMSERVICO"), FieldType::String, 40)->setDisplayLabel(QStringLiteral("Nome"));
    cdsProduto = new ClientDataSet(this, QStringLiteral("cdsProduto"));

    qryVdProduto = query(this, "qryVdProduto", "SELECT CDARVPROD, NMPRODUTO FROM PRODUTO WHERE CDARVPROD = :P_CDARVPROD");
    qryProduto = query(this, "qryProduto", "SELECT CDARVPROD, NMPRODUTO FROM PRODUTO ORDER BY CDARVPROD");
    qryProdutoCache = query(this, "qryProdutoCache",
                            "SELECT CDARVPROD, NMPRODUTO FROM PRODUTO P WHERE NOT EXISTS (SELECT 1 FROM PRODFILI F "
                            "WHERE F.CDPRODUTO = P.CDPRODUTO AND F.CDFILIAL = :P_CDFILIAL AND F.IDPRODATIV = 'I') "
                            "ORDER BY CDARVPROD");
    for (Query* q : {qryVdProduto, qryProduto, qryProdutoCache})
        codeAndName(q, "CDARVPROD", 20, "NMPRODUTO", 50);
    qryParamGeral = query(this, "qryParamGeral", "SELECT IDCACHPRODFI FROM PARAMGERAL ORDER BY CDPARGERAL");
    qryModuFili = query(this, "qryModuFili", "SELECT CDFILIAL, NMFILIAL FROM FILIAL WHERE CDFILIAL = :P_MODUFILI");
    qryFilial = query(this, "qryFilial", "SELECT CDFILIAL, NMFILIAL FROM FILIAL ORDER BY CDFILIAL");
    codeAndName(qryFilial, "CDFILIAL", 4, "NMFILIAL", 30);
    qryFiliCentAgreg = companions::consultaFiliCentAgreg(this);
    qryTipoCard = companions::consultaTipoCard(this);
}

void TfrmReceProd::createComponents()
{
    auto* layout = new QVBoxLayout(panFiltros);
    layout->setContentsMargins(0, 0, 0, 0);

    companions::RadiosOrigem origem;
    layout->addWidget(companions::grupoOrigem(panFiltros, origem));
    rdbPadrao = origem.padrao;
    rdbLocal = origem.local;
    rdbServico = origem.servico;
    rdbTpCard = origem.tpCard;

    auto* produtos = new QGroupBox(QStringLiteral("Produtos"), panFiltros);
    produtos->setObjectName(QStringLiteral("grbProdutos"));
    auto* produtosGrid = new QGridLayout(produtos);
    produtoIni = companions::linhaCodigo(produtos, produtosGrid, 0, QStringLiteral("de"), QStringLiteral("medCdProdIni"),
                                         {}, QStringLiteral("edtNmProdIni"), QStringLiteral("btnProdIni"));
    produtoFin = companions::linhaCodigo(produtos, produtosGrid, 1, QStringLiteral("até"), QStringLiteral("medCdProdFin"),
                                         {}, QStringLiteral("edtNmProdFin"), QStringLiteral("btnProdFin"));
    layout->addWidget(produtos);

    auto* agrupamento = new QWidget(panFiltros);
    auto* agrupamentoGrid = new QGridLayout(agrupamento);
    agrupamentoGrid->setContentsMargins(0, 0, 0, 0);
    grupo = companions::linhaCodigo(agrupamento, agrupamentoGrid, 0, QStringLiteral("Agrupamento de Filial"),
                                    QStringLiteral("medCdGrupo"), QStringLiteral(">cccccccccc"),
                                    QStringLiteral("edtNmGrupo"), QStringLiteral("btnGrupo"));
    layout->addWidget(agrupamento);

    nbkFiltro = new QStackedWidget(panFiltros);
    nbkFiltro->setObjectName(QStringLiteral("nbkFiltro"));
    QWidget* filiServ = page(nbkFiltro, "FiliServ");
    auto* filiServLayout = new QVBoxLayout(filiServ);
    ntbFilial = new QStackedWidget(filiServ);
    ntbFilial->setObjectName(QStringLiteral("ntbFilial"));
    QWidget* matriz = page(ntbFilial, "ModuMatriz");
    auto* matrizRow = new QHBoxLayout(matriz);
    matrizRow->addWidget(new QLabel(QStringLiteral("Filiais:"), matriz));
    rbtTodosFili = radio(matriz, "rbtTodosFili", "Todas");
    rbtListaFili = radio(matriz, "rbtListaFili", "Lista");
    btnFilial = new QPushButton(QStringLiteral("..."), matriz);
    btnFilial->setObjectName(QStringLiteral("btnFilial"));
    for (QWidget* w : {static_cast<QWidget*>(rbtTodosFili), static_cast<QWidget*>(rbtListaFili), static_cast<QWidget*>(btnFilial)})
        matrizRow->addWidget(w);
    matrizRow->addStretch(1);
    rbtTodosFili->setChecked(true);
    QWidget* modFili = page(ntbFilial, "ModFili");
    auto* modFiliGrid = new QGridLayout(modFili);
    filial = companions::linhaCodigo(modFili, modFiliGrid, 0, QStringLiteral("Filial"), QStringLiteral("medCdFilial"),
                                     QStringLiteral("9999"), QStringLiteral("edtNmFilial"));
    filial.setEnabled(false);
    filiServLayout->addWidget(ntbFilial);
    auto* servicos = new QWidget(filiServ);
    servicos->setObjectName(QStringLiteral("panServico"));
    auto* servicoRow = new QHBoxLayout(servicos);
    lblServico = new QLabel(QStringLiteral("Serviços:"), servicos);
    lblServico->setObjectName(QStringLiteral("lblServico"));
    rbtTodosServ = radio(servicos, "rbtTodosServ", "Todos");
    rbtListaServ = radio(servicos, "rbtListaServ", "Lista");
    btnServico = new QPushButton(QStringLiteral("..."), servicos);
    btnServico->setObjectName(QStringLiteral("btnServico"));
    for (QWidget* w : {static_cast<QWidget*>(lblServico), static_cast<QWidget*>(rbtTodosServ),
                       static_cast<QWidget*>(rbtListaServ), static_cast<QWidget*>(btnServico)})
        servicoRow->addWidget(w);
    servicoRow->addStretch(1);
    rbtTodosServ->setChecked(true);
    filiServLayout->addWidget(servicos);

    QWidget* tpCardPage = page(nbkFiltro, "TpCard");
    auto* tpCardGrid = new QGridLayout(tpCardPage);
    central = companions::linhaCodigo(tpCardPage, tpCardGrid, 0, QStringLiteral("Central"),
                                      QStringLiteral("medCdCentral"), QStringLiteral("9999"), QStringLiteral("edtNmCentral"));
    central.codigo->setReadOnly(true);
    central.codigo->setFocusPolicy(Qt::NoFocus);
    tipoCard = companions::linhaCodigo(tpCardPage, tpCardGrid, 1, QStringLiteral("Tipo de Cardápio"),
                                       QStringLiteral("medCdTpCard"), QString::fromLatin1(MascaraTipoCard),
                                       QStringLiteral("edtNmTpCard"), QStringLiteral("btnTpCard"));
    layout->addWidget(nbkFiltro);
    layout->addStretch(1);

    medCdProdIni = produtoIni.codigo;
    medCdProdFin = produtoFin.codigo;
    medCdGrupo = grupo.codigo;
    medCdFilial = filial.codigo;
    medCdCentral = central.codigo;
    medCdTpCard = tipoCard.codigo;

    grupo.botao->setDataSet(cdsAgrupFili);
    grupo.botao->setTitle(QStringLiteral("Agrupamento de Filial"));
    grupo.botao->setEmptyText(QStringLiteral("Não há Agrupamento de Filial cadastrado."));
    tipoCard.botao->setDataSet(qryTipoCard);
    tipoCard.botao->setTitle(QStringLiteral("Tipo de Cardápio"));
    tipoCard.botao->setEmptyText(QStringLiteral("Não há Tipo de Cardápio cadastrado."));
}

void TfrmReceProd::connectHandlers()
{
    for (QRadioButton* r : {rdbPadrao, rdbLocal, rdbServico, rdbTpCard})
        guardedConnect(r, &QRadioButton::clicked, this, [this] { rdbNivelClick(); });
    for (QRadioButton* r : {rbtTodosFili, rbtListaFili})
        guardedConnect(r, &QRadioButton::clicked, this, [this] { rbtFilialClick(); });
    for (QRadioButton* r : {rbtTodosServ, rbtListaServ})
        guardedConnect(r, &QRadioButton::clicked, this, [this] { rbtServicoClick(); });
    guardedConnect(btnFilial, &QPushButton::clicked, this, [this] { btnFilialClick(); });
    guardedConnect(btnServico, &QPushButton::clicked, this, [this] { btnServicoClick(); });
    guardedConnect(medCdGrupo, &QLineEdit::textEdited, this, [this] { medCdGrupoChange(); });
    guardedConnect(medCdGrupo, &TMaskEdit::exited, this, [this] { vd_AgrupFili(); });
    guardedConnect(medCdTpCard, &TMaskEdit::exited, this, [this] { Vd_CdTipoCard(false); });
    guardedConnect(medCdProdIni, &TMaskEdit::exited, this, [this] { Vd_CdProd(medCdProdIni, false); });
    guardedConnect(medCdProdFin, &TMaskEdit::exited, this, [this] { Vd_CdProd(medCdProdFin, false); });

    // The product buttons search the list IDCACHPRODFI chooses, copied into cdsProduto.
    for (const companions::LinhaCodigo* line : {&produtoIni, &produtoFin}) {
        line->botao->setDataSet(cdsProduto);
        line->botao->setTitle(msgPadrao->Msg(QStringLiteral("Prod")));
        line->botao->setEmptyText(msgPadrao->Msg(QStringLiteral("Prod_Empty")));
        line->botao->BeforePesq = [this](TBtnPesquisa&) { cdsProduto->CopyFrom(fonteProdutos()); };
        line->botao->AfterPesq = [this, line](TBtnPesquisa&) {
            line->codigo->setText(cdsProduto->FieldByName(QStringLiteral("CDARVPROD"))->AsString());
            line->nome->setText(cdsProduto->FieldByName(QStringLiteral("NMPRODUTO"))->AsString());
        };
    }
    grupo.botao->BeforePesq = [this](TBtnPesquisa&) { carregaAgrupamentos(); };
    grupo.botao->AfterPesq = [this](TBtnPesquisa&) {
        medCdGrupo->setText(cdsAgrupFili->FieldByName(QStringLiteral("CDGRUPFILI"))->AsString());
        medCdGrupoChange();
        grupo.nome->setText(cdsAgrupFili->FieldByName(QStringLiteral("NMGRUPFILI"))->AsString());
    };
    tipoCard.botao->BeforePesq = [this](TBtnPesquisa&) {
        qryTipoCard->Close();
        qryTipoCard->setParam(QStringLiteral("P_CDFILCENTPME"), medCdCentral->Text());
        qryTipoCard->setParam(QStringLiteral("P_CDFILIAL"), hostContext().FiliProc);
        qryTipoCard->setParam(QStringLiteral("P_CDTIPOCARD"), QString());
        qryTipoCard->setParam(QStringLiteral("P_TCDTIPOCARD"), QStringLiteral("T"));
        qryTipoCard->Open();
    };
    tipoCard.botao->AfterPesq = [this](TBtnPesquisa&) {
        medCdTpCard->setText(qryTipoCard->FieldByName(QStringLiteral("CDTIPOCARD"))->AsString());
        tipoCard.nome->setText(qryTipoCard->FieldByName(QStringLiteral("NMTIPOCARD"))->AsString());
    };
}

void TfrmReceProd::FormCreate()
{
    TfrmDadosGerRel::FormCreate();
    netReceitaProd->Connect();
    const QString productMask = hostContext().DBPict(0).remove(u'.');
    for (Query* q : {qryProduto, qryProdutoCache, qryVdProduto})
        q->FieldByName(QStringLiteral("CDARVPROD"))->setEditMask(productMask);
    medCdProdIni->setEditMask(productMask);
    medCdProdFin->setEditMask(productMask);

    const QString branch = companions::filialCabecalhoReceita();
    medCdFilial->setText(branch.isEmpty() ? hostContext().FiliProc : branch);
    qryModuFili->Close();
    qryModuFili->setParam(QStringLiteral("P_MODUFILI"), medCdFilial->Text());
    qryModuFili->Open();
    filial.nome->setText(qryModuFili->FieldByName(QStringLiteral("NMFILIAL"))->AsString());
}

void TfrmReceProd::FormActivate()
{
    TfrmDadosGerRel::FormActivate();
    if (rdbPadrao->isChecked()) {
        mostraPagina(ntbFilial, QStringLiteral("ModFili"));
        rdbNivelClick();
    }
    qryParamGeral->Close();
    qryParamGeral->Open();
    const HostContext& context = hostContext();
    if (context.ModuloAtiv == u"8" || context.ModuloAtiv == u"L") {
        if (!companions::mostraCentral(*qryFiliCentAgreg, *medCdCentral, *central.nome))
            rdbTpCard->setEnabled(false);
    } else {
        rdbTpCard->hide();
    }
}

void TfrmReceProd::FormClose()
{
    TfrmDadosGerRel::FormClose();
    netReceitaProd->Disconnect();
}

void TfrmReceProd::FormKeyDown(QKeyEvent* event)
{
    // F9 on a "Lista" radio opens its search.
    if (event->key() == Qt::Key_F9 && rbtListaFili->hasFocus() && rbtListaFili->isChecked()) {
        event->accept();
        btnFilialClick();
        return;
    }
    if (event->key() == Qt::Key_F9 && rbtListaServ->hasFocus() && rbtListaServ->isChecked()) {
        event->accept();
        btnServicoClick();
        return;
    }
    TfrmDadosGerRel::FormKeyDown(event);
}

void TfrmReceProd::mostraPagina(QStackedWidget* notebook, const QString& name)
{
    if (QWidget* w = notebook->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly))
        notebook->setCurrentWidget(w);
}

QString TfrmReceProd::IdTipoRece() const
{
    if (rdbLocal->isChecked())
        return QStringLiteral("F");
    if (rdbServico->isChecked())
        return QStringLiteral("S");
    if (rdbTpCard->isChecked())
        return QStringLiteral("T");
    return QStringLiteral("P");
}

void TfrmReceProd::rdbNivelClick()
{
    const QString level = IdTipoRece();
    const bool branchModule = hostContext().ModuFili;
    const bool choice = level == u"F" || level == u"S";
    mostraPagina(nbkFiltro, level == u"T" ? QStringLiteral("TpCard") : QStringLiteral("FiliServ"));
    if (level != u"T")
        mostraPagina(ntbFilial, choice && !branchModule ? QStringLiteral("ModuMatriz") : QStringLiteral("ModFili"));
    const bool grouping = choice && !branchModule;
    grupo.setEnabled(grouping);
    medCdGrupo->setBackgroundRole(grouping ? QPalette::Base : QPalette::Button);
    if (!grouping) {
        grupo.limpa();
        medCdGrupoChange();
    }
    lblServico->setEnabled(level == u"S");
    rbtServicoClick();
}

void TfrmReceProd::rbtFilialClick()
{
    btnFilial->setEnabled(rbtListaFili->isChecked());
    if (rbtListaFili->isChecked()) {
        m_listaFilial.clear();
        rbtTodosServ->setChecked(true);
        rbtServicoClick();
    }
}

void TfrmReceProd::rbtServicoClick()
{
    rbtTodosServ->setEnabled(lblServico->isEnabled());
    rbtListaServ->setEnabled(lblServico->isEnabled());
    btnServico->setEnabled(lblServico->isEnabled() && rbtListaServ->isChecked());
    if (rbtListaServ->isChecked())
        m_listaServico.clear();
}

void TfrmReceProd::medCdGrupoChange()
{
    grupo.nome->clear();
    m_listaFilial.clear();
}

void TfrmReceProd::carregaAgrupamentos()
{
    if (cdsAgrupFili->Active())
        return;
    const QVariant result = netReceitaProd->call(QStringLiteral("GetAgrupFili"), {}, QStringLiteral("get_cdsAgrupFili"));
    CheckResultServ(result);
    cdsAgrupFili->SetData(toPacket(result));
}

void TfrmReceProd::vd_AgrupFili()
{
    if (EmptyString(medCdGrupo->Text()))
        return;
    FocoNaFalha foco(medCdGrupo);
    medCdGrupo->setText(Ajusta(medCdGrupo->Text(), 10));
    carregaAgrupamentos();
    if (!cdsAgrupFili->Locate(QStringLiteral("CDGRUPFILI"), medCdGrupo->Text()))
        falha(*msgPadrao, QStringLiteral("GRUPFILI_EMPTY"), medCdGrupo);
    grupo.nome->setText(cdsAgrupFili->FieldByName(QStringLiteral("NMGRUPFILI"))->AsString());
}

void TfrmReceProd::vd_Filial()
{
    if (rbtTodosFili->isChecked())
        m_listaFilial = QStringLiteral("T");
    else if (m_listaFilial.isEmpty())
        falha(*msgPadrao, QStringLiteral("FILI_EMPTY"), rbtListaFili);
}

void TfrmReceProd::btnFilialClick()
{
    const QString title = msgPadrao->Msg(QStringLiteral("FILIAL")) + u'|' + msgPadrao->Msg(QStringLiteral("N_FILI_CAD"));
    if (EmptyString(medCdGrupo->Text())) {
        qryFilial->Close();
        qryFilial->Open();
        PesquisaLista(*qryFilial, QStringLiteral("CDFILIAL"), title, m_listaFilial);
        return;
    }
    const QVariant result = netReceitaProd->call(QStringLiteral("GetFiliaisdoGrupo"), {medCdGrupo->Text()},
                                                 QStringLiteral("get_cdsFilial"));
    CheckResultServ(result);
    cdsFilial->SetData(toPacket(result));
    PesquisaLista(*cdsFilial, QStringLiteral("CDFILIAL"), title, m_listaFilial);
}

void TfrmReceProd::btnServicoClick()
{
    vd_AgrupFili();
    vd_Filial();
    QVariantList args{medCdGrupo->Text(), hostContext().ModuFili ? medCdFilial->Text() : m_listaFilial};
    const QVariant result = netReceitaProd->call(QStringLiteral("GetServico"), args, QStringLiteral("get_cdsServico"));
    CheckResultServ(result);
    cdsServico->SetData(toPacket(result));
    PesquisaListaMsg(*cdsServico, QStringLiteral("CDCHAVE"),
                     msgPadrao->Msg(QStringLiteral("SERVICO")) + u'|' + msgPadrao->Msg(QStringLiteral("N_SERV_CAD")),
                     m_listaServico);
}

Query& TfrmReceProd::fonteProdutos()
{
    const bool cache = qryParamGeral->Active()
        && qryParamGeral->FieldByName(QStringLiteral("IDCACHPRODFI"))->AsString() == u"S";
    Query& source = cache ? *qryProdutoCache : *qryProduto;
    source.Close();
    if (cache)
        source.setParam(QStringLiteral("P_CDFILIAL"), medCdFilial->Text());
    source.Open();
    return source;
}

void TfrmReceProd::Vd_CdProd(TMaskEdit* field, bool required)
{
    const bool inicial = field == medCdProdIni;
    QLineEdit* name = inicial ? produtoIni.nome : produtoFin.nome;
    FocoNaFalha foco(field);
    name->clear();
    QString code = field->Text();
    if (EmptyString(code)) {
        if (required)
            falha(*msgPadrao, inicial ? QStringLiteral("ProdIni_inf") : QStringLiteral("ProdFin_inf"), field);
        return;
    }
    Tabvalid::ValidEx(nullptr, 0, code, Tabvalid::voQualquerNivel, msgPadrao->Msg(QStringLiteral("Prod_nc")));
    qryVdProduto->Close();
    qryVdProduto->setParam(QStringLiteral("P_CDARVPROD"), code);
    qryVdProduto->Open();
    if (qryVdProduto->IsEmpty())
        falha(*msgPadrao, QStringLiteral("Prod_nc"), field);
    Query& source = fonteProdutos();
    if (&source == qryProdutoCache && !source.Locate(QStringLiteral("CDARVPROD"), code))
        falha(*msgPadrao, QStringLiteral("PROD_INATIVO"), field);
    name->setText(qryVdProduto->FieldByName(QStringLiteral("NMPRODUTO"))->AsString());
}

void TfrmReceProd::Vd_CdTipoCard(bool required)
{
    companions::verificaTipoCard(*qryTipoCard, *msgPadrao, medCdCentral->Text(), *medCdTpCard, *tipoCard.nome, required);
}

void TfrmReceProd::Vd_CdServFili()
{
    if (rbtListaServ->isChecked() && m_listaServico.isEmpty())
        falha(*msgPadrao, QStringLiteral("Serv_inf"), rbtListaServ);
}

void TfrmReceProd::ValidaImpressao(bool required)
{
    if (!required)
        return; // editing the report definition needs no filters
    const QString level = IdTipoRece();
    vd_AgrupFili();
    if (level != u"P")
        vd_Filial();
    if (level == u"T")
        Vd_CdTipoCard(true);
    else if (level == u"S")
        Vd_CdServFili();
    Vd_CdProd(medCdProdIni, true);
    Vd_CdProd(medCdProdFin, true);
    if (medCdProdFin->Text() < medCdProdIni->Text())
        falha(*msgPadrao, QStringLiteral("Fin>Ini"), medCdProdFin);
}

QString TfrmReceProd::TextoFiliais()
{
    if (hostContext().ModuFili)
        return medCdFilial->Text();
    if (rbtListaFili->isChecked())
        return m_listaFilial;
    ClientDataSet* branches = qryFilial;
    if (EmptyString(medCdGrupo->Text())) {
        qryFilial->Close();
        qryFilial->Open();
    } else {
        const QVariant result = netReceitaProd->call(QStringLiteral("getFiliaisdoGrupo"), {medCdGrupo->Text()},
                                                     QStringLiteral("get_cdsFilial"));
        CheckResultServ(result);
        cdsFilial->SetData(toPacket(result));
        branches = cdsFilial;
    }
    QString text;
    for (branches->First(); !branches->Eof(); branches->Next())
        text += u'_' + branches->FieldByName(QStringLiteral("CDFILIAL"))->AsString();
    return text;
}

void TfrmReceProd::AtribuiParametros(ReportParams& params)
{
    const auto set = [&params](const char* name, const QVariant& value) {
        if (params.ExistParam(QString::fromLatin1(name)))
            params.setParam(QString::fromLatin1(name), value);
    };
    const QString receita = companions::filialCabecalhoReceita();
    set("P_IDTIPORECE", IdTipoRece());
    set("P_CDFILIAL", receita.isEmpty() ? hostContext().FiliProc : receita);
    if (params.ExistParam(QStringLiteral("L_FILIAL1")) || params.ExistParam(QStringLiteral("L_FILIAL2"))) {
        const QString filiais = TextoFiliais();
        set("L_FILIAL1", filiais);
        set("L_FILIAL2", filiais);
    }
    set("P_PRODUTOINI", medCdProdIni->Text());
    set("P_PRODUTOFIN", companions::completaFinal(medCdProdFin->Text(), u'z'));
    set("L_SERVICO1", rbtTodosServ->isChecked() ? QStringLiteral("T") : m_listaServico);
    set("P_CDFILCENTPME", medCdCentral->Text());
    set("P_CDTIPOCARD", medCdTpCard->Text());
}
