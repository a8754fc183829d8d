#include "frmreplicaporservico.h"

#include "cli_pla01313.h"

#include "companions/common/faixapratos.h"
#include "companions/common/filtroservicos.h"
#include "companions/common/formcompanheiro.h"
#include "companions/common/gradepratos.h"
#include "companions/common/gradeservicos.h"
#include "companions/common/mensagens.h"
#include "companions/common/painelnivel.h"

#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/forms/dbgrid.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/showavi.h"
#include "recipe/core/respostaservidor.h"
#include "recipe/form/frmreceitapadrao.h"
#include "server/connection.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace framework;
using companions::falha;

TfrmReplicaPorServico::TfrmReplicaPorServico(QWidget* parent) : TfrmPadrParam(parent)
{
    setObjectName(QStringLiteral("frmReplicaPorServico"));
    setWindowTitle(QStringLiteral("Replicação de Receitas por Serviço"));
    createComponents();
}

TfrmReplicaPorServico::~TfrmReplicaPorServico() = default;

void TfrmReplicaPorServico::criaMensagens()
{
    msgPadrao = new TMessages(this, QStringLiteral("msgPadrao"));
    companions::mensagensRevisao(*msgPadrao);
    companions::mensagensServicos(*msgPadrao);
    msgPadrao->Add({
        {"PratosNInf", "Selecione os pratos para replicação de receitas."},
        {"ServicosNInf", "Selecione os serviços para replicação de receitas."},
        {"ProdInatDest", "Alguns pratos não foram processados devido a produtos inativos na filial do serviço : %s"},
        {"get_cdsServicos", "Carregando serviços..."},
        {"pro_ReplicaReceitaServico", "Replicando as receitas nos serviços..."},
    });
}

void TfrmReplicaPorServico::createComponents()
{
    criaMensagens();
    netImpPrato = companions::conexao(this, QStringLiteral("netImpPrato"), QStringLiteral("Pla01309.rdmImpPrato"), msgPadrao);

    consultas = std::make_unique<companions::ConsultasNivel>(
        companions::ConsultasNivel::cria(this, companions::Servicos::Refeicao));
    origem = std::make_unique<companions::PainelNivel>(panParametros, companions::NomesNivel::origem, *consultas,
                                                       *msgPadrao);
    origem->setServicosRefeicao(true);
    pratos = std::make_unique<companions::FaixaPratos>(panParametros, *msgPadrao);
    gradePratos = std::make_unique<companions::GradePratos>(panParametros, *msgPadrao);
    filtro = std::make_unique<companions::FiltroServicos>(panParametros, consultas->qryFilialPesq, *msgPadrao);
    gradeServicos = std::make_unique<companions::GradeServicos>(panParametros, *msgPadrao);
    gradeServicos->setEspacoEmQualquerColuna(true);
    sbtConfirma->setText(QStringLiteral("&Confirmar"));

    auto* layout = new QVBoxLayout(panParametros);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* topo = new QHBoxLayout;
    topo->addWidget(origem->grupo(), 1);
    auto* direita = new QVBoxLayout;
    direita->addWidget(pratos->grupo());
    direita->addWidget(filtro->painel());
    topo->addLayout(direita, 1);
    layout->addLayout(topo);
    auto* grades = new QHBoxLayout;
    // Each grid as wide as its columns.
    grades->addWidget(gradePratos->dbgPadrao, 1);
    grades->addWidget(gradeServicos->dbgServicos, 1);
    layout->addLayout(grades, 1);
    resize(1040, 640);

    // Keyboard order: the origin, the range and its dishes, the services and theirs.
    QWidget* ordem[] = {origem->rdbPadrao, origem->rdbTpCard, origem->rdbLocal, origem->rdbServico,
                        origem->central.codigo, origem->tipoCard.codigo, origem->filial.codigo,
                        origem->servico.codigo, pratos->inicial.codigo, pratos->final.codigo, gradePratos->dbgPadrao,
                        filtro->filial.codigo, filtro->grupo.codigo, gradeServicos->dbgServicos, sbtConfirma, sbtCancel};
    for (size_t i = 1; i < std::size(ordem); ++i)
        setTabOrder(ordem[i - 1], ordem[i]);
    ligaEventos();
}

void TfrmReplicaPorServico::ligaEventos()
{
    origem->BeforeClick = [this] { descartaPratos(); };
    origem->AfterClick = [this] { HabilitaCentral(); };
    const auto mudouOrigem = [this] {
        if (!gradePratos->Vazia())
            descartaPratos();
    };
    origem->OnNomeMudou = mudouOrigem;
    pratos->OnNomeMudou = mudouOrigem;
    pratos->AfterPesqFinal = [this] {
        dbgPadraoEnter();
        gradePratos->dbgPadrao->setFocus();
    };
    gradePratos->dbgPadrao->OnEnter = [this](TDBGrid&) { dbgPadraoEnter(); };
    // Marks all when none is marked, else unmarks all: the marks themselves are counted.
    gradePratos->OnTituloMarca = [this] { gradePratos->MarcaTodos(PratosMarcados() == 0); };

    filtro->AfterPesqGrupo = [this] {
        dbgServicosEnter();
        gradeServicos->dbgServicos->setFocus();
    };
    gradeServicos->dbgServicos->OnEnter = [this](TDBGrid&) { dbgServicosEnter(); };
    gradeServicos->OnTituloMarca = [this] { gradeServicos->MarcaTodos(ServicosMarcados() == 0); };
}

void TfrmReplicaPorServico::FormCreate()
{
    TfrmPadrParam::FormCreate();
    m_primeiraAtivacao = true;
    ShowAviScope progresso(this, {});
    netImpPrato->Connect();
    gradePratos->Abre();
    gradeServicos->Abre();
    const HostContext& context = hostContext();
    if (context.ModuFili) {
        // A branch module replicates within its own branch, from its own recipes.
        origem->defineCodigo(origem->filial, context.FiliProc);
        origem->Vd_Filial(false);
        origem->setFilialFixa(true);
        origem->filial.setEnabled(false);
        filtro->fixaFilial(context.FiliProc);
    }
}

void TfrmReplicaPorServico::FormActivate()
{
    TfrmPadrParam::FormActivate();
    if (m_primeiraAtivacao)
        primeiraAtivacao();
}

void TfrmReplicaPorServico::primeiraAtivacao()
{
    m_primeiraAtivacao = false;
    const HostContext& context = hostContext();
    pratos->aplicaMascara();
    pratos->inicial.codigo->setFocus();
    origem->rdbPadrao->setChecked(true);
    origem->rdbClick();
    if (context.ModuloAtiv == u"8" || context.ModuloAtiv == u"L") {
        if (!origem->mostraCentral(context.FiliProc))
            origem->rdbTpCard->setEnabled(false);
    } else {
        origem->escondeTpCard();
        adjustSize();
    }
    HabilitaCentral();
}

void TfrmReplicaPorServico::FormClose()
{
    TfrmPadrParam::FormClose();
    Cli_pla01313::boIdCriado = false;
    netImpPrato->Disconnect();
}

void TfrmReplicaPorServico::FormKeyDown(QKeyEvent*) {}

void TfrmReplicaPorServico::HabilitaCentral()
{
    origem->HabilitaCentral(recipe::flag(companions::formReceita().cdsGerParamGeral, "IDPERMSELCENTRALPLA") == u"S");
}

void TfrmReplicaPorServico::descartaPratos() { gradePratos->Esvazia(); }

int TfrmReplicaPorServico::PratosMarcados() const { return gradePratos->Marcados(); }

int TfrmReplicaPorServico::ServicosMarcados() const { return gradeServicos->Marcados(); }

QString TfrmReplicaPorServico::Vd_Origem()
{
    const QString tipo = origem->Vd_Nivel();
    pratos->Vd_Faixa();
    return tipo;
}

void TfrmReplicaPorServico::dbgPadraoEnter()
{
    gradePratos->AplicaRegraColuna();
    Vd_Origem();
    // Loaded already: the marks stay as the user left them.
    if (!gradePratos->Vazia())
        return;
    gradePratos->Carrega(*netImpPrato, pratos->inicial.codigo->Text(), pratos->final.codigo->Text(), origem->Codigos());
}

void TfrmReplicaPorServico::dbgServicosEnter()
{
    const companions::FiltroServico servicos = filtro->Valida();
    // Loaded already for this filter: the marks and percentages stay as the user left them.
    if (gradeServicos->CarregadaPara(servicos))
        return;
    QVariant resultado;
    {
        ShowAviScope progresso(hostContext().mainWindow, msgPadrao->Msg(QStringLiteral("get_cdsServicos")));
        resultado = companions::formReceita().netReceitaPadrao->call(QStringLiteral("GetServicos"),
                                                                      QVariantList{servicos.grupo, servicos.filial});
    }
    gradeServicos->Carrega(resultado, servicos);
}

QString TfrmReplicaPorServico::ListaPratos() const
{
    if (gradePratos->Vazia())
        return {};
    const ClientDataSet& cds = *gradePratos->cdsGridPratos;
    const Field* marca = cds.FieldByName(QStringLiteral("IDMARCADO"));
    const Field* dono = cds.FieldByName(QStringLiteral("CDFILAUXPRAT"));
    const Field* prato = cds.FieldByName(QStringLiteral("CDPRATO"));
    QStringList chaves;
    for (int pos = 0, rows = cds.RecordCount(); pos < rows; ++pos) {
        if (cds.valueAt(pos, marca).toString() != u"S")
            continue;
        QString chave = cds.valueAt(pos, dono).toString() + u'_' + cds.valueAt(pos, prato).toString();
        chaves << u'\'' + chave.replace(u'\'', QStringLiteral("''")) + u'\'';
    }
    return chaves.join(QStringLiteral(", "));
}

void TfrmReplicaPorServico::sbtConfirmaClick()
{
    ClientDataSet& servicos = *gradeServicos->cdsServicos;
    if (servicos.Active())
        servicos.CheckBrowseMode();
    if (PratosMarcados() == 0)
        falha(*msgPadrao, QStringLiteral("PratosNInf"), gradePratos->dbgPadrao);
    if (ServicosMarcados() == 0)
        falha(*msgPadrao, QStringLiteral("ServicosNInf"), gradeServicos->dbgServicos);
    // The origin fields may have been changed since the dishes were loaded: what is sent is checked.
    const QString tipo = Vd_Origem();
    const companions::CodigosNivel de = origem->Codigos();
    QVariantList args{QVariant::fromValue(servicos.Data()), ListaPratos(), tipo, de.central, de.tipoCard, de.filial,
                      de.servico};
    QVariant resultado;
    {
        ShowAviScope progresso(hostContext().mainWindow, msgPadrao->Msg(QStringLiteral("pro_ReplicaReceitaServico")));
        resultado = companions::formReceita().netReceitaPadrao->call(QStringLiteral("ReplicaReceitaServico"), args);
    }
    CheckResultServ(resultado);
    Cli_pla01313::boPratosNaoProcessados = mostraNaoProcessados(resultado);
    setModalResult(mrOk);
}

bool TfrmReplicaPorServico::mostraNaoProcessados(const QVariant& resultado)
{
    const DataPacket deixados = toPacket(resultado);
    const int nome = deixados.rows.indexOf(QStringLiteral("NMPRATO"));
    QStringList nomes;
    for (int r = 0; r < deixados.rowCount(); ++r)
        if (!nomes.contains(deixados.rows.text(r, nome)))
            nomes << deixados.rows.text(r, nome);
    if (nomes.isEmpty())
        return false;
    msgPadrao->ShowMsg(QStringLiteral("ProdInatDest"), mtInformation, mbOK, {QStringLiteral("\n\n") + nomes.join(u'\n')});
    return true;
}
