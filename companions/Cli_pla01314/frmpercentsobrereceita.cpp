#include "frmpercentsobrereceita.h"

#include "cli_pla01314.h"
#include "receitaprevia.h"

#include "companions/common/filtroservicos.h"
#include "companions/common/formcompanheiro.h"
#include "companions/common/gradeservicos.h"
#include "companions/common/mensagens.h"
#include "companions/common/painelnivel.h"

#include "framework/abort.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/forms/dbgrid.h"
#include "framework/forms/panelfocus.h"
#include "framework/ui/guard.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/showavi.h"
#include "recipe/form/frmreceitapadrao.h"
#include "recipe/core/respostaservidor.h"
#include "server/connection.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QVBoxLayout>

using namespace framework;
using companions::falha;

namespace {

// The origin columns of a services row: codes and names, and which kinds use each.
struct CampoOrigem {
    const char* codigo;
    const char* nome;
    const char* tipos; // the kinds whose origin names it
};
const CampoOrigem camposOrigem[] = {
    {"CDFILCENTPME", "NMFILICENT", "T"},
    {"CDTIPOCARD", "NMTIPOCARD", "T"},
    {"CDFILIALORI", "NMFILIALORI", "FS"},
    {"CDSERVFILIORI", "NMSERVIORI", "S"},
};

} // namespace

TfrmPercentSobreReceita::TfrmPercentSobreReceita(QWidget* parent) : TfrmPadrParam(parent)
{
    setObjectName(QStringLiteral("frmPercentSobreReceita"));
    setWindowTitle(QStringLiteral("Percentual de Receitas por Serviço"));
    createComponents();
}

TfrmPercentSobreReceita::~TfrmPercentSobreReceita() = default;

void TfrmPercentSobreReceita::setPrato(const QString& cdFilAuxPrat, const QString& cdPrato)
{
    m_dono = cdFilAuxPrat;
    m_prato = cdPrato;
    m_chave = cdFilAuxPrat + u'_' + cdPrato;
}

void TfrmPercentSobreReceita::criaMensagens()
{
    msgPadrao = new TMessages(this, QStringLiteral("msgPadrao"));
    // The recipe review's list, which this form carries too.
    companions::mensagensRevisao(*msgPadrao);
    companions::mensagensServicos(*msgPadrao);
    msgPadrao->Add({
        {"Cancel", "Cancelar operação?"},
        {"ReceNCad", "Receita de origem informada não existe no prato selecionado."},
        {"ReceZerada", "Operação bloqueada. Percentual informado produzirá valores iguais a zero na receita."},
        {"ServAlteradoReq", "Não é possível utilizar esse serviço como origem pois o mesmo está sendo alterado na "
                            "operação atual."},
        {"ServRequisitadoAlt", "Serviço não pode ser alterado nessa operação pois o mesmo já foi indicado como origem "
                               "em outros serviços."},
        {"ProdInat", "Produto %s da receita de origem informada não está ativo para a filial de destino."},
        {"ServOri=ServDest", "Serviço de origem não pode ser igual ao serviço de destino."},
        {"PratosNInf", "Selecione os pratos para replicação de receitas."},
        {"ServicosNInf", "Selecione os serviços para replicação de receitas."},
        {"get_cdsServicos", "Carregando serviços..."},
        {"get_cdsReceitas", "Carregando receita..."},
        {"pro_AplicaPercentualReceita", "Aplicando os percentuais nas receitas dos serviços..."},
    });
}

// The services' columns beyond the grid's own, before the origin panel binds to them.
void TfrmPercentSobreReceita::declaraCampos()
{
    ClientDataSet& cds = *grade->cdsServicos;
    cds.AddField(QStringLiteral("IDORIGEMRECE"), FieldType::String, 1)->setVisible(false);
    for (const auto& [codigo, tamanho, mascara] : {std::tuple{"CDFILCENTPME", 4, ">aaaa"}, {"CDTIPOCARD", 10, ">aaaaaaaaaa"},
                                                   {"CDFILIALORI", 4, ">aaaa"}, {"CDSERVFILIORI", 5, "ccccc"}}) {
        Field* field = cds.AddField(QString::fromLatin1(codigo), FieldType::String, tamanho);
        field->setEditMask(QString::fromLatin1(mascara));
        field->setVisible(false);
    }
    cds.AddField(QStringLiteral("IDALTERADO"), FieldType::String, 1)->setVisible(false);
    for (const auto& [nome, tamanho] : {std::pair{"NMSERVIORI", 40}, {"NMFILIALORI", 30}, {"NMTIPOCARD", 100},
                                        {"NMFILICENT", 30}})
        cds.AddField(QString::fromLatin1(nome), FieldType::String, tamanho)->setVisible(false);
}

void TfrmPercentSobreReceita::createComponents()
{
    criaMensagens();
    // Opened with the form as the other copying forms do; the recipe form's connection serves
    // every call.
    netImpPrato = companions::conexao(this, QStringLiteral("netImpPrato"), QStringLiteral("Pla01309.rdmImpPrato"), msgPadrao);

    consultas = std::make_unique<companions::ConsultasNivel>(
        companions::ConsultasNivel::cria(this, companions::Servicos::Refeicao));
    filtro = std::make_unique<companions::FiltroServicos>(panParametros, consultas->qryFilialPesq, *msgPadrao);
    grade = std::make_unique<companions::GradeServicos>(panParametros, *msgPadrao);
    declaraCampos();
    cdsServicosValidacao = new ClientDataSet(this, QStringLiteral("cdsServicosValidacao"));
    const companions::CamposNivel campos{grade->dtsServicos, "CDFILCENTPME", "NMFILICENT", "CDTIPOCARD", "NMTIPOCARD",
                                         "CDFILIALORI", "NMFILIALORI", "CDSERVFILIORI", "NMSERVIORI"};
    origem = std::make_unique<companions::PainelNivel>(panParametros, companions::NomesNivel::origem, *consultas,
                                                       *msgPadrao, &campos);
    origem->setServicosRefeicao(true);
    receita = std::make_unique<ReceitaPrevia>(panParametros);

    sbtConfirma->setText(QStringLiteral("&Confirmar"));
    sbtCancelar = new QPushButton(QStringLiteral("Cancela&r"), panBotoes);
    sbtCancelar->setObjectName(QStringLiteral("sbtCancelar"));
    static_cast<QHBoxLayout*>(panBotoes->layout())->insertWidget(panBotoes->layout()->indexOf(sbtCancel), sbtCancelar);
    // A click on a button does not take the focus from the field being left (its check runs first).
    for (QPushButton* b : {sbtConfirma, sbtCancelar, sbtCancel})
        b->setFocusPolicy(Qt::TabFocus);

    auto* layout = new QVBoxLayout(panParametros);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(filtro->painel());
    auto* meio = new QHBoxLayout;
    meio->addWidget(grade->dbgServicos, 3);
    meio->addWidget(origem->grupo(), 2);
    layout->addLayout(meio, 2);
    auto* titulo = new QLabel(QStringLiteral("&Receita do serviço"), panParametros);
    titulo->setBuddy(receita->dbgReceitas);
    layout->addWidget(titulo);
    layout->addWidget(receita->dbgReceitas, 3);
    resize(1000, 680);

    QWidget* ordem[] = {filtro->filial.codigo, filtro->grupo.codigo, grade->dbgServicos, origem->rdbPadrao,
                        origem->rdbTpCard, origem->rdbLocal, origem->rdbServico, origem->central.codigo,
                        origem->tipoCard.codigo, origem->filial.codigo, origem->servico.codigo, receita->dbgReceitas,
                        sbtConfirma, sbtCancelar, sbtCancel};
    for (size_t i = 1; i < std::size(ordem); ++i)
        setTabOrder(ordem[i - 1], ordem[i]);
    ligaEventos();
}

void TfrmPercentSobreReceita::ligaEventos()
{
    ClientDataSet& cds = *grade->cdsServicos;
    grade->setMarcaEmEdicao(true);
    grade->AoMarcar = [this](bool marcou) { aoMarcar(marcou); };
    grade->AoMudarLinha = [this] { mostraLinha(); };
    grade->VerificaLinha = [this] { verificaLinha(); };
    grade->PercentualEditavel = [this] { return marcado(); };
    cds.BeforeEdit = [this](ClientDataSet&) { antesEditar(); };
    cds.AfterEdit = [this](ClientDataSet& linhas) {
        linhas.FieldByName(QStringLiteral("IDALTERADO"))->setAsString(QStringLiteral("S"));
        HabilitaAlteracao(true);
    };
    // A percentage typed shows its recipe at once, once the cell is left (the origin named).
    cds.FieldByName(QStringLiteral("PERCENTUAL"))->OnChange = [this](Field& percentual) {
        if (!(percentual.AsFloat() > 0))
            return; // the row check tells
        guardedSingleShot(0, this, [this] {
            if (m_alterando && marcado() && origemNomeada())
                GetReceitas();
        });
    };

    origem->BeforeClick = [this] { SetOrigem(origem->Tipo()); };
    origem->AfterClick = [this] { aposCliqueOrigem(); };
    origem->VerificaServico = [this](const QString& filial, const QString& servico) {
        if (filial == campo("CDFILIAL") && servico == campo("CDSERVFILI"))
            falha(*msgPadrao, QStringLiteral("ServOri=ServDest"), origem->servico.codigo);
        Vd_ServicoAlteradoRequisitado(filial, servico, 'R');
    };

    filtro->AfterPesqGrupo = [this] { GetServicos(); };
    new PanelFocus(filtro->painel(), [this] { entraFiltro(); }, [this] {
        // A field's check that failed on the way out put the focus back: the user is still there.
        if (!filtro->painel()->isAncestorOf(QApplication::focusWidget()))
            GetServicos();
    });
    receita->dbgReceitas->OnEnter = [this](TDBGrid&) { GetReceitas(); };
    guardedConnect(sbtCancelar, &QPushButton::clicked, this, [this] { sbtCancelarClick(); });
}

void TfrmPercentSobreReceita::FormCreate()
{
    TfrmPadrParam::FormCreate();
    m_primeiraAtivacao = true;
    netImpPrato->Connect();
    const HostContext& context = hostContext();
    if (context.ModuFili) {
        filtro->fixaFilial(context.FiliProc);
        origem->setFilialFixa(true);
        origem->filial.setEnabled(false);
    }
    HabilitaAlteracao(false);
}

void TfrmPercentSobreReceita::FormActivate()
{
    TfrmPadrParam::FormActivate();
    if (m_primeiraAtivacao)
        primeiraAtivacao();
}

void TfrmPercentSobreReceita::primeiraAtivacao()
{
    m_primeiraAtivacao = false;
    grade->Abre();
    receita->Abre();
    origem->rdbPadrao->setChecked(true);
    origem->rdbClick();
    HabilitacaoCamposReceita(false);
    const QString modulo = hostContext().ModuloAtiv;
    if (modulo != u"8" && modulo != u"L")
        origem->escondeTpCard();
    (filtro->filial.codigo->isEnabled() ? filtro->filial.codigo : filtro->grupo.codigo)->setFocus();
}

void TfrmPercentSobreReceita::FormClose()
{
    if (m_alterando && msgPadrao->ShowMsg(QStringLiteral("Cancel"), mtConfirmation, mbYes | mbNo) != mrYes)
        throw Abort();
    TfrmPadrParam::FormClose();
    Cli_pla01314::boIdCriado = false;
    netImpPrato->Disconnect();
}

void TfrmPercentSobreReceita::FormKeyDown(QKeyEvent*) {}

void TfrmPercentSobreReceita::sbtCancelClick()
{
    setModalResult(m_aplicou ? mrOk : mrCancel);
}

QString TfrmPercentSobreReceita::campo(const char* nome) const
{
    const ClientDataSet& cds = *grade->cdsServicos;
    return cds.Active() && !cds.IsEmpty() ? cds.FieldByName(QString::fromLatin1(nome))->AsString() : QString();
}

bool TfrmPercentSobreReceita::marcado() const { return campo("IDMARCADO") == u"S"; }

bool TfrmPercentSobreReceita::origemNomeada() const
{
    const QString tipo = campo("IDORIGEMRECE");
    for (const CampoOrigem& c : camposOrigem)
        if (QString::fromLatin1(c.tipos).contains(tipo) && campo(c.codigo).isEmpty())
            return false;
    return !tipo.isEmpty();
}

// --- Services ------------------------------------------------------------------------------

void TfrmPercentSobreReceita::entraFiltro()
{
    ClientDataSet& cds = *grade->cdsServicos;
    if (cds.Active() && cds.state() != ClientDataSet::State::Browse)
        cds.Cancel();
    grade->Esvazia();
    receita->Esvazia();
    HabilitacaoCamposReceita(false);
}

void TfrmPercentSobreReceita::GetServicos()
{
    const companions::FiltroServico servicos = filtro->Valida();
    HabilitacaoCamposReceita(false);
    QVariantList args{servicos.filial, servicos.grupo, m_dono, m_prato};
    QVariant resultado;
    {
        ShowAviScope progresso(hostContext().mainWindow, msgPadrao->Msg(QStringLiteral("get_cdsServicos")));
        resultado = companions::formReceita().netReceitaPadrao->call(QStringLiteral("GetServicosPercentual"), args);
    }
    grade->Carrega(resultado, servicos);
    cdsServicosValidacao->CopyFrom(*grade->cdsServicos);
}

void TfrmPercentSobreReceita::carregaServicos()
{
    GetServicos();
    HabilitaAlteracao(false);
}

void TfrmPercentSobreReceita::mostraLinha()
{
    if (grade->Vazia()) {
        HabilitacaoCamposReceita(false);
        receita->Esvazia();
        return;
    }
    origem->mostraTipo(campo("IDORIGEMRECE"));
    HabilitaCentral();
    HabilitacaoCamposReceita(marcado());
    GetReceitas();
}

void TfrmPercentSobreReceita::aoMarcar(bool marcou)
{
    ClientDataSet& cds = *grade->cdsServicos;
    if (marcou) {
        cds.FieldByName(QStringLiteral("IDORIGEMRECE"))->setAsString(QStringLiteral("P"));
        cds.FieldByName(QStringLiteral("PERCENTUAL"))->setAsFloat(100);
    } else {
        for (const char* nome : {"PERCENTUAL", "IDORIGEMRECE"})
            cds.FieldByName(QString::fromLatin1(nome))->Clear();
        for (const CampoOrigem& c : camposOrigem) {
            cds.FieldByName(QString::fromLatin1(c.codigo))->Clear();
            cds.FieldByName(QString::fromLatin1(c.nome))->Clear();
        }
    }
    mostraLinha();
}

void TfrmPercentSobreReceita::antesEditar()
{
    cdsServicosValidacao->CopyFrom(*grade->cdsServicos);
    // Whatever its mark: a service another one takes its recipe from changes in no way here.
    Vd_ServicoAlteradoRequisitado(campo("CDFILIAL"), campo("CDSERVFILI"), 'A');
}

void TfrmPercentSobreReceita::Vd_ServicoAlteradoRequisitado(const QString& filial, const QString& servico, char modo)
{
    ClientDataSet& alterados = *cdsServicosValidacao;
    if (!alterados.Active())
        return;
    alterados.setFilter(QStringLiteral("IDALTERADO = 'S'"));
    alterados.setFiltered(true);
    auto semFiltro = qScopeGuard([&alterados] { alterados.setFiltered(false); });
    if (modo == 'R' && alterados.Locate(QStringLiteral("CDFILIAL;CDSERVFILI"), QVariantList{filial, servico}))
        falha(*msgPadrao, QStringLiteral("ServAlteradoReq"), origem->servico.codigo);
    if (modo == 'A' && alterados.Locate(QStringLiteral("CDFILIALORI;CDSERVFILIORI"), QVariantList{filial, servico}))
        falha(*msgPadrao, QStringLiteral("ServRequisitadoAlt"));
}

void TfrmPercentSobreReceita::verificaLinha()
{
    if (!marcado())
        return;
    grade->Vd_Percentual();
    GetReceitas();
    if (receita->Vazia())
        falha(*msgPadrao, QStringLiteral("ReceNCad"));
    if (receita->Zerada())
        falha(*msgPadrao, QStringLiteral("ReceZerada"));
    QVariantList args{campo("IDORIGEMRECE"), m_dono,          m_prato,           campo("CDFILCENTPME"),
                      campo("CDTIPOCARD"),   campo("CDFILIALORI"), campo("CDSERVFILIORI"), campo("CDFILIAL")};
    const QVariant resultado =
        companions::formReceita().netReceitaPadrao->call(QStringLiteral("GetProdInativReceita"), args);
    CheckResultServ(resultado);
    const DataPacket inativos = toPacket(resultado);
    if (inativos.rowCount() > 0) {
        msgPadrao->ShowMsg(QStringLiteral("ProdInat"), mtError, mbOK,
                           {inativos.rows.text(0, inativos.rows.indexOf(QStringLiteral("NMPRODUTO")))});
        throw Abort();
    }
}

// --- The recipe beside the services -------------------------------------------------------

void TfrmPercentSobreReceita::GetReceitas()
{
    if (grade->Vazia() || !marcado()) {
        receita->Esvazia();
        return;
    }
    server::Connection& net = *companions::formReceita().netReceitaPadrao;
    QVariant resultado;
    if (campo("IDALTERADO") != u"S") {
        QVariantList args{m_dono, m_prato, campo("CDFILIAL"), campo("CDSERVFILI")};
        ShowAviScope progresso(hostContext().mainWindow, msgPadrao->Msg(QStringLiteral("get_cdsReceitas")));
        resultado = net.call(QStringLiteral("GetReceitasPer"), args);
    } else {
        Vd_Origem();
        grade->Vd_Percentual();
        const double percentual = grade->cdsServicos->FieldByName(QStringLiteral("PERCENTUAL"))->AsFloat();
        QVariantList args{m_dono,
                          m_prato,
                          percentual,
                          campo("IDORIGEMRECE"),
                          campo("CDFILCENTPME"),
                          campo("CDTIPOCARD"),
                          campo("CDFILIALORI"),
                          campo("CDSERVFILIORI")};
        ShowAviScope progresso(hostContext().mainWindow, msgPadrao->Msg(QStringLiteral("get_cdsReceitas")));
        resultado = net.call(QStringLiteral("GetReceitasPerVirtual"), args);
    }
    receita->Carrega(resultado);
}

// --- The origin of the current row --------------------------------------------------------

void TfrmPercentSobreReceita::HabilitacaoCamposReceita(bool habilitado)
{
    // A field that goes off hands the focus to the services, not to the next control (the
    // filter, which would empty them).
    if (!habilitado && origem->grupo()->isAncestorOf(QApplication::focusWidget()))
        grade->dbgServicos->setFocus();
    origem->setHabilitado(habilitado);
}

void TfrmPercentSobreReceita::HabilitaAlteracao(bool alterando)
{
    m_alterando = alterando;
    sbtConfirma->setEnabled(alterando);
    sbtCancelar->setEnabled(alterando);
    filtro->setHabilitado(!alterando);
}

void TfrmPercentSobreReceita::HabilitaCentral()
{
    origem->HabilitaCentral(recipe::flag(companions::formReceita().cdsGerParamGeral, "IDPERMSELCENTRALPLA") == u"S");
}

void TfrmPercentSobreReceita::SetOrigem(const QString& tipo)
{
    if (grade->Vazia() || campo("IDORIGEMRECE") == tipo)
        return;
    ClientDataSet& cds = *grade->cdsServicos;
    // A refused change leaves the radios on the row's kind.
    auto volta = qScopeGuard([this] { origem->mostraTipo(campo("IDORIGEMRECE")); });
    if (cds.state() == ClientDataSet::State::Browse)
        cds.Edit();
    cds.FieldByName(QStringLiteral("IDORIGEMRECE"))->setAsString(tipo);
    // What only another kind names goes with it.
    for (const CampoOrigem& c : camposOrigem)
        if (!QString::fromLatin1(c.tipos).contains(tipo)) {
            cds.FieldByName(QString::fromLatin1(c.codigo))->Clear();
            cds.FieldByName(QString::fromLatin1(c.nome))->Clear();
        }
    volta.dismiss();
    HabilitaAlteracao(true);
}

void TfrmPercentSobreReceita::aposCliqueOrigem()
{
    const ClientDataSet& cds = *grade->cdsServicos;
    const bool editando = cds.Active() && cds.state() == ClientDataSet::State::Edit;
    if (editando && origem->Tipo() == u"T" && origem->codigo(origem->central).isEmpty()
        && !origem->mostraCentral(hostContext().FiliProc))
        origem->tipoCard.setEnabled(false);
    HabilitaCentral();
}

void TfrmPercentSobreReceita::Vd_Origem()
{
    const QString tipo = origem->Vd_Nivel();
    ClientDataSet& cds = *grade->cdsServicos;
    if (cds.state() == ClientDataSet::State::Edit && campo("IDORIGEMRECE") != tipo)
        cds.FieldByName(QStringLiteral("IDORIGEMRECE"))->setAsString(tipo);
}

// --- Confirming and giving up ---------------------------------------------------------------

void TfrmPercentSobreReceita::sbtConfirmaClick()
{
    ClientDataSet& cds = *grade->cdsServicos;
    if (!cds.Active())
        return;
    const QString atual = campo("CDSERVFILI");
    cds.CheckBrowseMode();
    QVariantList args{m_chave, QVariant::fromValue(cds.Data())};
    QString status;
    {
        ShowAviScope progresso(hostContext().mainWindow,
                               msgPadrao->Msg(QStringLiteral("pro_AplicaPercentualReceita")));
        status = recipe::updateStatus(
            companions::formReceita().netReceitaPadrao->call(QStringLiteral("AplicaPercentualReceita"), args));
    }
    if (!status.isEmpty())
        MensErro(status);
    m_aplicou = true;
    carregaServicos();
    cds.Locate(QStringLiteral("CDSERVFILI"), atual);
}

void TfrmPercentSobreReceita::sbtCancelarClick()
{
    if (msgPadrao->ShowMsg(QStringLiteral("Cancel"), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    ClientDataSet& cds = *grade->cdsServicos;
    if (cds.Active() && cds.state() != ClientDataSet::State::Browse)
        cds.Cancel();
    carregaServicos();
}
