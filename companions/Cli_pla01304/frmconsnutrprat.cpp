#include "frmconsnutrprat.h"

#include "cli_pla01304.h"
#include "companions/common/formcompanheiro.h"

#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/data/numberformat.h"
#include "framework/forms/dbgrid.h"
#include "framework/ui/messages.h"
#include "framework/ui/showavi.h"
#include "server/connection.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace framework;
using namespace Cli_pla01304;

namespace {

bool ausente(const QString& code) { return code == u"X"; }

} // namespace

TfrmConsNutrPrat::TfrmConsNutrPrat(QWidget* parent) : TfrmPadrParam(parent)
{
    setObjectName(QStringLiteral("frmConsNutrPrat"));
    setWindowTitle(QStringLiteral("Consulta de Nutrientes"));
    resize(560, 460);
    createComponents();
    companions::fechaComEsc(*this);
}

TfrmConsNutrPrat::~TfrmConsNutrPrat() = default;

void TfrmConsNutrPrat::createComponents()
{
    msgPadrao = new TMessages(this, QStringLiteral("msgPadrao"));
    msgPadrao->Add({
        {"get_cdsNutriente", "Carregando nutrientes..."},
        {"pro_NDPCAL", "Carregando NDPCAL do prato..."},
        {"Nutriente_vazia", "Não existem nutrientes cadastrados."},
        {"pro_Conectar", "Conectando ao servidor de aplicação..."},
    });

    cdsNutriente = new ClientDataSet(this, QStringLiteral("cdsNutriente"));
    cdsNutriente->AddField(QStringLiteral("CDNUTRIENTE"), FieldType::String, 3)->setDisplayLabel(QStringLiteral("Código"));
    cdsNutriente->AddField(QStringLiteral("NMNUTRIENTE"), FieldType::String, 20)->setDisplayLabel(QStringLiteral("Nome"));
    Field* quantidade = cdsNutriente->AddField(QStringLiteral("QTNUTRIENTE"), FieldType::Float);
    quantidade->setDisplayLabel(QStringLiteral("Quantidade"));
    quantidade->setDisplayFormat(QStringLiteral("#,###,##0.00000"));
    cdsNutriente->AddField(QStringLiteral("SGUNIDADE"), FieldType::String, 10)->setDisplayLabel(QStringLiteral("UN"));
    dtsNutriente = new DataSource(this, QStringLiteral("dtsNutriente"));
    dtsNutriente->setDataSet(cdsNutriente);

    netConsNutrPrat = companions::conexao(this, QStringLiteral("netConsNutrPrat"), QStringLiteral("PLA01304.rdmConsNutrPrat"), msgPadrao);

    auto* layout = new QVBoxLayout(panParametros);
    const auto line = [this, layout](const char* panel, const char* caption, const char* edit) {
        QLineEdit* name = companions::linhaCabecalho(panParametros, QString::fromLatin1(panel),
                                                     QString::fromUtf8(caption), QString::fromLatin1(edit));
        layout->addWidget(name->parentWidget());
        return name;
    };
    edtNmCentral = line("panCentral", "Central", "edtNmCentral");
    edtNmTpCard = line("panTpCard", "Tipo de Cardápio", "edtNmTpCard");
    edtNmFilial = line("panFilial", "Filial", "edtNmFilial");
    edtNmServico = line("panServico", "Serviço", "edtNmServico");
    edtNmPrato = line("panPrato", "Prato", "edtNmPrato");

    dbgNutriente = new TDBGrid(panParametros, QStringLiteral("dbgNutriente"));
    dbgNutriente->setDataSource(dtsNutriente);
    dbgNutriente->setReadOnly(true);
    dbgNutriente->setOption(TDBGrid::dgEditing, false);
    for (const char* field : {"CDNUTRIENTE", "NMNUTRIENTE", "QTNUTRIENTE", "SGUNIDADE"})
        dbgNutriente->AddColumn(QString::fromLatin1(field));
    layout->addWidget(dbgNutriente, 1);

    auto* ndpcal = new QWidget(panParametros);
    ndpcal->setObjectName(QStringLiteral("panNDPCal"));
    auto* row = new QHBoxLayout(ndpcal);
    row->setContentsMargins(0, 0, 0, 0);
    nedNDPCPrat = new QLineEdit(ndpcal);
    nedNDPCPrat->setObjectName(QStringLiteral("nedNDPCPrat"));
    nedNDPCPrat->setReadOnly(true);
    nedNDPCPrat->setAlignment(Qt::AlignRight);
    nedNDPCPrat->setMaximumWidth(100);
    row->addStretch(1);
    row->addWidget(new QLabel(QStringLiteral("NDPCal (%)"), ndpcal));
    row->addWidget(nedNDPCPrat);
    layout->addWidget(ndpcal);

    // A query form: nothing to confirm, only to close.
    sbtConfirma->hide();
}

void TfrmConsNutrPrat::FormCreate()
{
    TfrmPadrParam::FormCreate();
    m_primeiraAtivacao = true;
    mostraCabecalho();
}

void TfrmConsNutrPrat::mostraCabecalho()
{
    edtNmCentral->setText(stNmCentral);
    edtNmTpCard->setText(stNmTpCard);
    edtNmFilial->setText(stNmFilial);
    edtNmServico->setText(stNmServico);
    edtNmPrato->setText(stNmPrato);
    const bool semFilial = ausente(stCdFilial);
    const bool semServico = ausente(stCdServFili);
    const bool padrao = semFilial && semServico && ausente(stCdTpCard);
    const bool tipoCardapio = !padrao && semFilial && semServico;
    const bool filial = !padrao && !tipoCardapio;
    const bool servico = filial && !semServico;
    edtNmCentral->parentWidget()->setVisible(tipoCardapio);
    edtNmTpCard->parentWidget()->setVisible(tipoCardapio);
    edtNmFilial->parentWidget()->setVisible(filial);
    edtNmServico->parentWidget()->setVisible(servico);
}

QString TfrmConsNutrPrat::filialEfetiva()
{
    return ausente(stCdFilial) ? companions::filialCabecalhoReceita() : stCdFilial;
}

void TfrmConsNutrPrat::FormActivate()
{
    TfrmPadrParam::FormActivate();
    if (!m_primeiraAtivacao)
        return;
    m_primeiraAtivacao = false;
    abre();
}

void TfrmConsNutrPrat::abre()
{
    {
        ShowAviScope progress(this, msgPadrao->Msg(QStringLiteral("pro_Conectar")));
        netConsNutrPrat->Connect();
    }
    const QString filial = filialEfetiva();
    const QVariant nutrientes = netConsNutrPrat->call(
        QStringLiteral("GetNutriente"),
        {stCdFilaux, stCdFilial, filial, stCdServFili, stCdPrato, stCdCentral, stCdTpCard},
        QStringLiteral("get_cdsNutriente"));
    CheckResultServ(nutrientes);
    cdsNutriente->SetData(toPacket(nutrientes));
    if (cdsNutriente->IsEmpty()) {
        close();
        msgPadrao->ShowMsg(QStringLiteral("Nutriente_vazia"), mtInformation, mbOK);
        return;
    }
    const QVariant ndpcal = netConsNutrPrat->call(
        QStringLiteral("ProNDPCAL"), {stCdFilaux, filial, stCdFilial, stCdPrato, stCdServFili, stCdCentral, stCdTpCard},
        QStringLiteral("pro_NDPCAL"));
    CheckResultServ(ndpcal);
    nedNDPCPrat->setText(formatNumber(ndpcal.toDouble(), QStringLiteral("#,##0.00")));
    dbgNutriente->setFocus();
}

void TfrmConsNutrPrat::FormClose()
{
    TfrmPadrParam::FormClose();
    netConsNutrPrat->Disconnect();
}
