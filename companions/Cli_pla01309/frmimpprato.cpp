#include "frmimpprato.h"

#include "cli_pla01309.h"
#include "quantidadepessoa.h"

#include "companions/common/faixapratos.h"
#include "companions/common/formcompanheiro.h"
#include "companions/common/gradepratos.h"
#include "companions/common/mensagens.h"
#include "companions/common/painelnivel.h"

#include "framework/abort.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/forms/dbgrid.h"
#include "framework/ui/maskedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/showavi.h"
#include "recipe/form/frmreceitapadrao.h"
#include "recipe/core/respostaservidor.h"
#include "server/autoriza.h"
#include "server/connection.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace framework;
using namespace Cli_pla01309;
using companions::falha;

namespace {

constexpr int kindReceita = 4;

} // namespace

TfrmImpPrato::TfrmImpPrato(QWidget* parent) : TfrmRotiGeral(parent)
{
    setObjectName(QStringLiteral("frmImpPrato"));
    setWindowTitle(QStringLiteral("Revisão Automática de Receitas"));
    createComponents();
}

TfrmImpPrato::~TfrmImpPrato() = default;

void TfrmImpPrato::createComponents()
{
    msgPadrao = new TMessages(this, QStringLiteral("msgPadrao"));
    companions::mensagensRevisao(*msgPadrao);
    netImpPrato = companions::conexao(this, QStringLiteral("netImpPrato"), QStringLiteral("Pla01309.rdmImpPrato"), msgPadrao);

    consultas = std::make_unique<companions::ConsultasNivel>(companions::ConsultasNivel::cria(this));
    origem = std::make_unique<companions::PainelNivel>(panParametros, companions::NomesNivel::origem, *consultas, *msgPadrao);
    destino = std::make_unique<companions::PainelNivel>(panParametros, companions::NomesNivel::destino, *consultas, *msgPadrao);
    pratos = std::make_unique<companions::FaixaPratos>(panParametros, *msgPadrao);
    grade = std::make_unique<companions::GradePratos>(panParametros, *msgPadrao);
    quantidade = std::make_unique<QuantidadePessoa>(*grade, *msgPadrao);

    rdgTpImport = new QGroupBox(QStringLiteral("Tipo de Importação"), panParametros);
    rdgTpImport->setObjectName(QStringLiteral("rdgTpImport"));
    auto* tipos = new QVBoxLayout(rdgTpImport);
    rdbAcrescentar = companions::radio(rdgTpImport, "rdbAcrescentar", "Acrescentar");
    rdbSobrepor = companions::radio(rdgTpImport, "rdbSobrepor", "Sobrepor");
    auto* itens = new QButtonGroup(rdgTpImport);
    itens->addButton(rdbAcrescentar, 0);
    itens->addButton(rdbSobrepor, 1);
    rdbAcrescentar->setChecked(true);
    tipos->addWidget(rdbAcrescentar);
    tipos->addWidget(rdbSobrepor);

    auto* layout = new QVBoxLayout(panParametros);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* niveis = new QHBoxLayout;
    niveis->addWidget(origem->grupo(), 1);
    niveis->addWidget(destino->grupo(), 1);
    layout->addLayout(niveis);
    auto* faixa = new QHBoxLayout;
    faixa->addWidget(pratos->grupo(), 1);
    faixa->addWidget(rdgTpImport);
    layout->addLayout(faixa);
    layout->addWidget(grade->dbgPadrao, 1);
    sbtConfirma->setText(QStringLiteral("&Confirmar"));
    resize(860, 640);

    // Keyboard order: the origin, the destination and how it takes the copy, the range, the grid.
    QWidget* ordem[] = {origem->rdbPadrao, origem->rdbTpCard, origem->rdbLocal, origem->rdbServico,
                        origem->central.codigo, origem->tipoCard.codigo, origem->filial.codigo,
                        origem->servico.codigo, destino->rdbPadrao, destino->rdbTpCard, destino->rdbLocal,
                        destino->rdbServico, destino->central.codigo, destino->tipoCard.codigo,
                        destino->filial.codigo, destino->servico.codigo, rdbAcrescentar, rdbSobrepor,
                        pratos->inicial.codigo, pratos->final.codigo, grade->dbgPadrao, sbtConfirma, sbtCancel};
    for (size_t i = 1; i < std::size(ordem); ++i)
        setTabOrder(ordem[i - 1], ordem[i]);

    origem->BeforeClick = [this] { descartaGrade(); };
    origem->AfterClick = [this] { HabilitaCentral(); };
    destino->AfterClick = [this] { HabilitaCentral(); };
    const auto mudouOrigem = [this] {
        if (!grade->Vazia())
            descartaGrade();
    };
    origem->OnNomeMudou = mudouOrigem;
    pratos->OnNomeMudou = mudouOrigem;
    pratos->AfterPesqFinal = [this] {
        dbgPadraoEnter();
        grade->dbgPadrao->setFocus();
    };
    grade->dbgPadrao->OnEnter = [this](TDBGrid&) { dbgPadraoEnter(); };
    grade->OnMarcaLinha = [](bool marcado) { boIdMarcado = marcado; };
    grade->OnTituloMarca = [this] {
        boIdMarcado = !boIdMarcado;
        grade->MarcaTodos(boIdMarcado);
    };
    quantidade->OnAlterada = [] { boAlt_Qt_Prop = true; };
}

void TfrmImpPrato::FormCreate()
{
    TfrmRotiGeral::FormCreate();
    m_primeiraAtivacao = true;
    ShowAviScope progresso(this, {});
    netImpPrato->Connect();
    grade->Abre();
}

void TfrmImpPrato::FormActivate()
{
    TfrmRotiGeral::FormActivate();
    if (m_primeiraAtivacao)
        primeiraAtivacao();
}

void TfrmImpPrato::primeiraAtivacao()
{
    const HostContext& context = hostContext();
    pratos->aplicaMascara();
    m_primeiraAtivacao = false;
    boIdMarcado = true;
    pratos->inicial.codigo->setFocus();
    origem->rdbPadrao->setChecked(true);
    rdbOrigemClick();
    // A branch module does not change standard recipes: its copies go to its own levels.
    destino->rdbPadrao->setEnabled(!context.ModuFili);
    if (context.ModuFili)
        destino->rdbLocal->setChecked(true);
    rdbDestinoClick();
    if (context.ModuloAtiv == u"8" || context.ModuloAtiv == u"L") {
        if (origem->mostraCentral(context.FiliProc)) {
            destino->mostraCentral(context.FiliProc);
        } else {
            origem->rdbTpCard->setEnabled(false);
            destino->rdbTpCard->setEnabled(false);
        }
    } else {
        origem->escondeTpCard();
        destino->escondeTpCard();
        adjustSize();
    }
    pratos->Vd_Prato(pratos->inicial, false);
}

void TfrmImpPrato::FormClose()
{
    TfrmRotiGeral::FormClose();
    boIdCriado = false;
    netImpPrato->Disconnect();
}

int TfrmImpPrato::TipoImportacao() const { return rdbSobrepor->isChecked() ? 1 : 0; }

void TfrmImpPrato::rdbOrigemClick() { origem->rdbClick(); }

void TfrmImpPrato::rdbDestinoClick() { destino->rdbClick(); }

void TfrmImpPrato::HabilitaCentral()
{
    const bool permite =
        recipe::flag(companions::formReceita().cdsGerParamGeral, "IDPERMSELCENTRALPLA") == u"S";
    origem->HabilitaCentral(permite);
    destino->HabilitaCentral(permite);
}

void TfrmImpPrato::descartaGrade()
{
    grade->Esvazia();
    boAlt_Qt_Prop = false;
}

void TfrmImpPrato::dbgPadraoEnter()
{
    const ClientDataSet& cds = *grade->cdsGridPratos;
    boIdMarcado = grade->Vazia() || cds.FieldByName(QStringLiteral("IDMARCADO"))->AsString() != u"N";
    grade->AplicaRegraColuna();
    Vd_Origem();
    // Loaded already: marks and quantities stay as the user left them.
    if (!grade->Vazia())
        return;
    grade->Carrega(*netImpPrato, pratos->inicial.codigo->Text(), pratos->final.codigo->Text(), origem->Codigos());
    boAlt_Qt_Prop = false;
}

QString TfrmImpPrato::Vd_Origem()
{
    const QString tipo = origem->Vd_Nivel();
    pratos->Vd_Faixa();
    return tipo;
}

QString TfrmImpPrato::Vd_Destino()
{
    const QString tipo = destino->Tipo();
    if (tipo == u"P" && !hostContext().ModuFili
        && !server::Autoriza(*companions::formReceita().netAutoriza, kindReceita,
                             QStringLiteral("ALTERACAO_PRODUTO_RECEITA_PADRAO"), QString()))
        throw Abort();
    destino->Vd_Nivel();
    const companions::CodigosNivel de = origem->Codigos(), para = destino->Codigos();
    if (de.tipo != tipo)
        return tipo;
    if (tipo == u"P")
        falha(*msgPadrao, QStringLiteral("Padrao_Padrao"), destino->rdbPadrao);
    // Two centrals may each have a menu type of the same code: only the same central's is the same.
    if (tipo == u"T" && de.central == para.central && de.tipoCard == para.tipoCard)
        falha(*msgPadrao, QStringLiteral("TpCard_Igual"), destino->tipoCard.codigo);
    if (tipo == u"F" && de.filial == para.filial)
        falha(*msgPadrao, QStringLiteral("Filial_Igual"), destino->filial.codigo);
    if (tipo == u"S" && de.filial == para.filial && de.servico == para.servico)
        falha(*msgPadrao, QStringLiteral("Servico_igual"), destino->servico.codigo);
    return tipo;
}

void TfrmImpPrato::sbtConfirmaClick()
{
    const QString tipoOrigem = Vd_Origem();
    const QString tipoDestino = Vd_Destino();
    ClientDataSet& cds = *grade->cdsGridPratos;
    if (cds.Active())
        cds.CheckBrowseMode();
    if (grade->Vazia())
        falha(*msgPadrao, QStringLiteral("Grid_Vazio"));
    if (grade->Marcados() == 0)
        falha(*msgPadrao, QStringLiteral("Prat_n_selec"));
    if (msgPadrao->ShowMsg(QStringLiteral("Conf_rev_auto"), mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    // Every ratio that goes to the server was agreed to, whenever the quantity was changed.
    if (quantidade->HaProporcao()
        && msgPadrao->ShowMsg(QStringLiteral("alt_prop_prod_rec"), mtConfirmation, mbYes | mbNo) != mrYes)
        quantidade->DesfazProporcoes();
    boAlt_Qt_Prop = false;

    const companions::CodigosNivel de = origem->Codigos(), para = destino->Codigos();
    QVariantList args{companions::filialCabecalhoReceita(),
                      QVariant::fromValue(cds.Data()),
                      de.filial,
                      para.filial,
                      de.servico,
                      para.servico,
                      tipoOrigem,
                      tipoDestino,
                      TipoImportacao(),
                      para.central,
                      para.tipoCard,
                      de.central,
                      de.tipoCard};
    const QString status = recipe::updateStatus(netImpPrato->call(QStringLiteral("ExportaPratos"), args,
                                                                  QStringLiteral("exporting")));
    if (!status.isEmpty())
        MensErro(status);
    msgPadrao->ShowMsg(QStringLiteral("Imp_Conc"), mtInformation, mbOK);
}
