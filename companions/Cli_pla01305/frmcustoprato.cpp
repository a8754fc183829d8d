#include "frmcustoprato.h"

#include "cli_pla01305.h"
#include "companions/common/formcompanheiro.h"

#include "framework/core/consiste.h"
#include "framework/core/hostcontext.h"
#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/data/numberformat.h"
#include "framework/forms/dbgrid.h"
#include "framework/ui/dateedit.h"
#include "framework/ui/messages.h"
#include "framework/ui/query.h"
#include "framework/ui/shape.h"
#include "framework/ui/showavi.h"
#include "server/connection.h"
#include "server/tipocusto.h"

#include <QComboBox>
#include <QDate>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

using namespace framework;
using Cli_pla01305::parametros;

namespace {

const QString cotacao = QStringLiteral("Custo de Cotação (Lista de Preços)");

QLineEdit* numberDisplay(QWidget* parent, const QString& name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignRight);
    edit->setMaximumWidth(140);
    return edit;
}

} // namespace

TfrmCustoPrato::TfrmCustoPrato(QWidget* parent) : TfrmPadrParam(parent)
{
    setObjectName(QStringLiteral("frmCustoPrato"));
    setWindowTitle(QStringLiteral("Consulta de Custo"));
    resize(820, 520);
    createComponents();
    companions::fechaComEsc(*this);
}

TfrmCustoPrato::~TfrmCustoPrato() = default;

void TfrmCustoPrato::createComponents()
{
    msgPadrao = new TMessages(this, QStringLiteral("msgPadrao"));
    msgPadrao->Add({
        {"get_cdsProduto", "Carregando produtos..."},
        {"NTIPO_CUST", "Não há tipo de custo parametrizado."},
        {"DtReferencia_ninf", "Data de referência deve ser informada."},
        {"pro_Conectar", "Conectando ao servidor de aplicação..."},
    });
    createDataSets();

    netCustoPrato = companions::conexao(this, QStringLiteral("netCustoPrato"), QStringLiteral("Pla01305.rdmCustoPrato"), msgPadrao);
    netCustProd = companions::conexao(this, QStringLiteral("netCustProd"), QStringLiteral("Cus.rdmCustProd"), msgPadrao);

    auto* layout = new QVBoxLayout(panParametros);
    layout->addWidget(createHeader());

    auto* filtros = new QWidget(panParametros);
    filtros->setObjectName(QStringLiteral("panFiltros"));
    auto* form = new QFormLayout(filtros);
    cboTipoCusto = new QComboBox(filtros);
    cboTipoCusto->setObjectName(QStringLiteral("cboTipoCusto"));
    depDtReferencia = new TDateEdit(filtros, QStringLiteral("depDtReferencia"));
    depDtReferencia->setMaximumWidth(110);
    form->addRow(QStringLiteral("&Tipo de Custo"), cboTipoCusto);
    form->addRow(QStringLiteral("&Data de Referência"), depDtReferencia);
    layout->addWidget(filtros);

    dbgProduto = new TDBGrid(panParametros, QStringLiteral("dbgProduto"));
    dbgProduto->setDataSource(dtsProduto);
    dbgProduto->setReadOnly(true);
    dbgProduto->setOption(TDBGrid::dgEditing, false);
    for (const char* field : {"NMPRODUTO", "SGUNIDPROD", "QTPRODUTO", "QTBRUTA", "CUSTO", "CustoPrato", "SAFRA"})
        dbgProduto->AddColumn(QString::fromLatin1(field))->setWidth(95);
    dbgProduto->Columns(0)->setWidth(240);
    dbgProduto->Columns(1)->setWidth(45);
    dbgProduto->Columns(6)->setWidth(50);
    dbgProduto->OnDrawColumnCell = [this](TDBGrid&, TCellPaint& cell) { dbgProdutoDrawColumnCell(cell); };
    layout->addWidget(dbgProduto, 1);

    auto* totais = new QWidget(panParametros);
    totais->setObjectName(QStringLiteral("panTotais"));
    auto* row = new QHBoxLayout(totais);
    row->setContentsMargins(0, 0, 0, 0);
    nedCustoPerc = numberDisplay(totais, QStringLiteral("nedCustoPerc"));
    nedPeSafra = numberDisplay(totais, QStringLiteral("nedPeSafra"));
    shpSafraCard = new TShape(totais, QStringLiteral("shpSafraCard"));
    row->addWidget(new QLabel(QStringLiteral("Custo Per Capita"), totais));
    row->addWidget(nedCustoPerc);
    row->addSpacing(16);
    row->addWidget(new QLabel(QStringLiteral(" Safra (%)"), totais));
    row->addWidget(nedPeSafra);
    row->addWidget(shpSafraCard);
    row->addStretch(1);
    layout->addWidget(totais);

    sbtConfirma->setText(QStringLiteral("&Calcular"));
    setTabOrder(cboTipoCusto, depDtReferencia);
    setTabOrder(depDtReferencia, sbtConfirma);
}

void TfrmCustoPrato::createDataSets()
{
    cdsProduto = new ClientDataSet(this, QStringLiteral("cdsProduto"));
    const auto field = [this](const char* name, FieldType type, int size, const char* label) {
        Field* f = cdsProduto->AddField(QString::fromLatin1(name), type, size);
        if (label)
            f->setDisplayLabel(QString::fromUtf8(label));
        else
            f->setVisible(false);
        return f;
    };
    field("NMPRODUTO", FieldType::String, 50, "Nome do Produto");
    field("SGUNIDPROD", FieldType::String, 10, "UN");
    field("CDPRATO", FieldType::String, 10, nullptr);
    field("CDPRODUTO", FieldType::String, 10, nullptr);
    field("QTPRODUTO", FieldType::Float, 0, "Per Capita")->setDisplayFormat(QStringLiteral("#,##0.00000"));
    field("VRFATCOC", FieldType::Float, 0, nullptr);
    field("VRFATCOR", FieldType::Float, 0, nullptr);
    field("SGUNIDADE", FieldType::String, 10, nullptr);
    field("CUSTO", FieldType::Float, 0, "Custo Unitário")->setDisplayFormat(QStringLiteral("#,###,##0.00000"));
    field("IDINTESAFR", FieldType::String, 12, nullptr);
    field("QTBRUTA", FieldType::Float, 0, "Qtde. Bruta")->setDisplayFormat(QStringLiteral("##0.00000"));
    cdsProduto->AddCalcField(QStringLiteral("SAFRA"), FieldType::Integer)->setDisplayLabel(QStringLiteral("Safra"));
    Field* custoPrato = cdsProduto->AddCalcField(QStringLiteral("CustoPrato"), FieldType::Float);
    custoPrato->setDisplayLabel(QStringLiteral("Custo no Prato"));
    custoPrato->setDisplayFormat(QStringLiteral("#,###,##0.00000"));
    cdsProduto->AddCalcField(QStringLiteral("CustoSafr2"), FieldType::Float)->setVisible(false);
    cdsProduto->AddCalcField(QStringLiteral("CustoSafr3"), FieldType::Float)->setVisible(false);
    cdsProduto->OnCalcFields = [this](ClientDataSet&) { cdsProdutoCalcFields(); };
    dtsProduto = new DataSource(this, QStringLiteral("dtsProduto"));
    dtsProduto->setDataSet(cdsProduto);

    cdsSinaSafra = new ClientDataSet(this, QStringLiteral("cdsSinaSafra"));

    qryParamPlaneja = new Query(this, QStringLiteral("qryParamPlaneja"));
    qryParamPlaneja->setSQL(QStringLiteral(
        "SELECT IDUTILFATCOR, IDUTILFATCOC, IDTIPCALCFAT, NRCORSAFRA, NRCORINICSAF, NRCORENTRSAF "
        "FROM PARAMPLANEJA WHERE CDFILIAL = :P_CDFILIAL"));
}

QWidget* TfrmCustoPrato::createHeader()
{
    auto* header = new QWidget(panParametros);
    header->setObjectName(QStringLiteral("panCabecalho"));
    auto* layout = new QVBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    pgcCabecalho = new QStackedWidget(header);
    pgcCabecalho->setObjectName(QStringLiteral("pgcCabecalho"));

    tshFilialServico = new QWidget(pgcCabecalho);
    tshFilialServico->setObjectName(QStringLiteral("tshFilialServico"));
    auto* filialServico = new QVBoxLayout(tshFilialServico);
    filialServico->setContentsMargins(0, 0, 0, 0);
    edtNmFilial = companions::linhaCabecalho(tshFilialServico, QStringLiteral("panFilial"), QStringLiteral("Filial"),
                                             QStringLiteral("edtNmFilial"));
    edtNmServico = companions::linhaCabecalho(tshFilialServico, QStringLiteral("panServico"),
                                              QStringLiteral("Serviço"), QStringLiteral("edtNmServico"));
    filialServico->addWidget(edtNmFilial->parentWidget());
    filialServico->addWidget(edtNmServico->parentWidget());

    tshCentralTpCard = new QWidget(pgcCabecalho);
    tshCentralTpCard->setObjectName(QStringLiteral("tshCentralTpCard"));
    auto* centralTpCard = new QVBoxLayout(tshCentralTpCard);
    centralTpCard->setContentsMargins(0, 0, 0, 0);
    edtNmCentral = companions::linhaCabecalho(tshCentralTpCard, QStringLiteral("panCentral"),
                                              QStringLiteral("Central"), QStringLiteral("edtNmCentral"));
    edtNmTpCard = companions::linhaCabecalho(tshCentralTpCard, QStringLiteral("panTpCard"),
                                             QStringLiteral("Tipo de Cardápio"), QStringLiteral("edtNmTpCard"));
    centralTpCard->addWidget(edtNmCentral->parentWidget());
    centralTpCard->addWidget(edtNmTpCard->parentWidget());

    pgcCabecalho->addWidget(tshFilialServico);
    pgcCabecalho->addWidget(tshCentralTpCard);
    layout->addWidget(pgcCabecalho);
    edtNmPrato = companions::linhaCabecalho(header, QStringLiteral("panPrato"), QStringLiteral("Prato"),
                                            QStringLiteral("edtNmPrato"));
    layout->addWidget(edtNmPrato->parentWidget());
    return header;
}

void TfrmCustoPrato::FormCreate()
{
    TfrmPadrParam::FormCreate();
    m_primeiraAtivacao = true;
    m_corSwatch = shpSafraCard->BrushColor();
    mostraCabecalho();
}

void TfrmCustoPrato::mostraCabecalho()
{
    edtNmPrato->setText(parametros.nmPrato);
    edtNmFilial->setText(parametros.nmFilial);
    edtNmServico->setText(parametros.nmServico);
    edtNmCentral->setText(parametros.nmCentral);
    edtNmTpCard->setText(parametros.nmTpCard);
    edtNmFilial->parentWidget()->setVisible(!parametros.cdFilial.isEmpty());
    edtNmServico->parentWidget()->setVisible(!parametros.cdServico.isEmpty());
    // The stacked header takes the height of the page shown.
    const bool central = !parametros.cdCentral.isEmpty();
    QWidget* page = central ? tshCentralTpCard : tshFilialServico;
    pgcCabecalho->setCurrentWidget(page);
    for (QWidget* other : {tshFilialServico, tshCentralTpCard})
        other->setSizePolicy(QSizePolicy::Preferred, other == page ? QSizePolicy::Preferred : QSizePolicy::Ignored);
    pgcCabecalho->setVisible(central || !parametros.cdFilial.isEmpty() || !parametros.cdServico.isEmpty());
}

// --- Opening ----------------------------------------------------------------------------------

void TfrmCustoPrato::FormActivate()
{
    TfrmPadrParam::FormActivate();
    // Only the first activation loads; coming back to the window keeps the user's date and figures.
    if (!m_primeiraAtivacao)
        return;
    m_primeiraAtivacao = false;
    {
        ShowAviScope progress(this, msgPadrao->Msg(QStringLiteral("pro_Conectar")));
        netCustoPrato->Connect();
        carregaTiposCusto();
    }
    abreParamPlaneja();
    depDtReferencia->setDate(hostContext().DataProc);
    Calcular();
}

void TfrmCustoPrato::carregaTiposCusto()
{
    netCustProd->Connect();
    const QStringList tipos = server::ListaTipoCusto(*netCustProd);
    cboTipoCusto->clear();
    cboTipoCusto->addItems(tipos);
    cboTipoCusto->setCurrentIndex(tipoCustoPadrao(tipos));
}

int TfrmCustoPrato::tipoCustoPadrao(const QStringList& tipos)
{
    for (int i = 0; i < std::min<int>(5, tipos.size()); ++i)
        if (tipos[i] == cotacao)
            return i;
    return tipos.isEmpty() ? -1 : 0;
}

void TfrmCustoPrato::abreParamPlaneja()
{
    QString filial = parametros.cdFilial;
    if (filial.isEmpty())
        filial = companions::filialCabecalhoReceita();
    if (filial.isEmpty())
        filial = hostContext().FiliProc;
    qryParamPlaneja->Close();
    qryParamPlaneja->setParam(QStringLiteral("P_CDFILIAL"), Ajusta(filial, 4));
    qryParamPlaneja->Open();
}

QColor TfrmCustoPrato::corParametro(const char* campo) const
{
    if (!qryParamPlaneja->Active() || qryParamPlaneja->IsEmpty())
        return {};
    return colorFromNumber(qryParamPlaneja->FieldByName(QString::fromLatin1(campo))->Value());
}

// --- Calculation ------------------------------------------------------------------------------

void TfrmCustoPrato::sbtConfirmaClick()
{
    Calcular();
}

void TfrmCustoPrato::validaDataReferencia()
{
    if (depDtReferencia->isEmpty())
        companions::falha(*msgPadrao, QStringLiteral("DtReferencia_ninf"), depDtReferencia);
    depDtReferencia->validate();
}

void TfrmCustoPrato::Calcular()
{
    validaDataReferencia();
    if (cboTipoCusto->currentText().isEmpty())
        companions::falha(*msgPadrao, QStringLiteral("NTIPO_CUST"), cboTipoCusto);

    const int tipoCusto = server::NumeroTipoCusto(*netCustProd, cboTipoCusto->currentIndex());
    const QVariant produtos = netCustoPrato->call(
        QStringLiteral("GetProduto"),
        {parametros.cdFilial, parametros.cdServico, parametros.cdPrato, parametros.cdFilAuxPrat, parametros.cdFilialRef,
         tipoCusto, depDtReferencia->date(), parametros.cdCentral, parametros.cdTpCard},
        QStringLiteral("get_cdsProduto"));
    CheckResultServ(produtos);
    cdsProduto->SetData(toPacket(produtos));

    double total = 0, inicioSafra = 0, safra = 0;
    {
        cdsProduto->DisableControls();
        auto enable = qScopeGuard([this] { cdsProduto->EnableControls(); });
        for (cdsProduto->First(); !cdsProduto->Eof(); cdsProduto->Next()) {
            total += cdsProduto->FieldByName(QStringLiteral("CustoPrato"))->AsFloat();
            inicioSafra += cdsProduto->FieldByName(QStringLiteral("CustoSafr2"))->AsFloat();
            safra += cdsProduto->FieldByName(QStringLiteral("CustoSafr3"))->AsFloat();
        }
        cdsProduto->First();
    }
    nedCustoPerc->setText(formatNumber(total, QStringLiteral("#,##0.00000")));
    const double percentual = percentualSafra(total, inicioSafra, safra);
    nedPeSafra->setText(formatNumber(percentual, QStringLiteral("#,##0.00")));

    const QVariant sinais = netCustoPrato->call(QStringLiteral("GetSinaSafra"), {percentual},
                                                QStringLiteral("get_cdsProduto"));
    CheckResultServ(sinais);
    cdsSinaSafra->SetData(toPacket(sinais));
    // Without a signal for this percentage the swatch shows none, not the colour of an earlier one.
    QColor cor = m_corSwatch;
    if (!cdsSinaSafra->IsEmpty()) {
        cdsSinaSafra->First();
        const QColor sinal = colorFromNumber(cdsSinaSafra->FieldByName(QStringLiteral("NRCORSINSAFR"))->Value());
        if (sinal.isValid())
            cor = sinal;
    }
    shpSafraCard->setBrushColor(cor);
}

double TfrmCustoPrato::percentualSafra(double total, double inicioSafra, double safra)
{
    if (total <= 0)
        return 0;
    return RoundDec(safra / total * 100 + (inicioSafra / total * 100) / 2, 2);
}

void TfrmCustoPrato::cdsProdutoCalcFields()
{
    const auto value = [this](const char* name) { return cdsProduto->FieldByName(QString::fromLatin1(name)); };
    const double custo = RoundDec(RoundDec(value("CUSTO")->AsFloat(), 5) * RoundDec(value("QTBRUTA")->AsFloat(), 5), 5);
    value("CustoPrato")->setValue(custo);
    const QVariant classe = classeSafra(value("IDINTESAFR")->AsString(), hostContext().DataProc.month());
    value("SAFRA")->setValue(classe);
    value("CustoSafr2")->setValue(classe == QVariant(2) ? QVariant(custo) : QVariant());
    value("CustoSafr3")->setValue(classe == QVariant(3) ? QVariant(custo) : QVariant());
}

QVariant TfrmCustoPrato::classeSafra(const QString& padrao, int mes)
{
    if (mes < 1 || mes > padrao.size())
        return {};
    bool ok = false;
    const int classe = padrao.mid(mes - 1, 1).trimmed().toInt(&ok);
    return ok ? QVariant(classe) : QVariant();
}

// --- Grid and closing -------------------------------------------------------------------------

void TfrmCustoPrato::dbgProdutoDrawColumnCell(TCellPaint& cell) const
{
    if (!cell.field || cell.field->FieldName() != u"SAFRA")
        return;
    const QVariant classe = cell.value(QStringLiteral("SAFRA"));
    if (classe.isNull())
        return;
    switch (classe.toInt()) {
    case 1: cell.background = corParametro("NRCORENTRSAF"); break;
    case 2: cell.background = corParametro("NRCORINICSAF"); break;
    case 3: cell.background = corParametro("NRCORSAFRA"); break;
    default: break;
    }
}

void TfrmCustoPrato::FormClose()
{
    TfrmPadrParam::FormClose();
    netCustoPrato->Disconnect();
    netCustProd->Disconnect();
}
