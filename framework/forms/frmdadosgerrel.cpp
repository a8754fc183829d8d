#include "frmdadosgerrel.h"

#include "framework/abort.h"
#include "framework/ui/dialogs.h"
#include "framework/ui/guard.h"
#include "framework/ui/messages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace framework {

TfrmDadosGerRel::TfrmDadosGerRel(const QString& reportCode, QWidget* parent)
    : TfrmBase(parent), m_reportCode(reportCode)
{
    panFiltros = new QWidget(this);
    panFiltros->setObjectName(QStringLiteral("panFiltros"));
    lstRelatorios = new QListWidget(this);
    lstRelatorios->setObjectName(QStringLiteral("lstRelatorios"));
    lstRelatorios->setMaximumHeight(120);

    auto* buttons = new QHBoxLayout;
    sbtVisualizar = button(QStringLiteral("sbtVisualizar"), QStringLiteral("&Visualizar"), &TfrmDadosGerRel::sbtVisualizarClick);
    sbtImprimir = button(QStringLiteral("sbtImprimir"), QStringLiteral("&Imprimir"), &TfrmDadosGerRel::sbtImprimirClick);
    sbtSalvar = button(QStringLiteral("sbtSalvar"), QStringLiteral("&Salvar como..."), &TfrmDadosGerRel::sbtSalvarClick);
    sbtEditar = button(QStringLiteral("sbtEditar"), QStringLiteral("&Editar relatório"), &TfrmDadosGerRel::sbtEditarClick);
    sbtCancel = button(QStringLiteral("sbtCancel"), QStringLiteral("&Fechar"), &TfrmDadosGerRel::sbtCancelClick);
    for (QPushButton* b : {sbtVisualizar, sbtImprimir, sbtSalvar, sbtEditar})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(sbtCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panFiltros, 1);
    layout->addWidget(new QLabel(QStringLiteral("Modelos do relatório:"), this));
    layout->addWidget(lstRelatorios);
    layout->addLayout(buttons);
}

QPushButton* TfrmDadosGerRel::button(const QString& name, const QString& caption, void (TfrmDadosGerRel::*handler)())
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    guardedConnect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    return b;
}

void TfrmDadosGerRel::FormCreate()
{
    TfrmBase::FormCreate();
    listLayouts();
}

void TfrmDadosGerRel::listLayouts()
{
    const int current = lstRelatorios->currentRow();
    lstRelatorios->clear();
    m_layouts = reportEngine() ? reportEngine()->layouts(m_reportCode) : QList<ReportLayout>();
    for (const ReportLayout& layout : std::as_const(m_layouts))
        lstRelatorios->addItem(layout.title.isEmpty() ? layout.fileName : layout.title);
    if (!m_layouts.isEmpty())
        lstRelatorios->setCurrentRow(current >= 0 && current < m_layouts.size() ? current : 0);
}

const TMessages& TfrmDadosGerRel::messages() const
{
    const auto* own = findChild<TMessages*>(QStringLiteral("msgPadrao"));
    return own ? *own : msgMensagensPadroes();
}

void TfrmDadosGerRel::noDefinition() const
{
    const QString directory = reportEngine() ? reportEngine()->directory() : QString();
    MensErro(messages().Msg(QStringLiteral("Arq_Rel_Err"), {m_reportCode, directory}));
    throw Abort(); // not reached: MensErro aborts
}

ReportEngine& TfrmDadosGerRel::engine() const
{
    if (!reportEngine())
        noDefinition();
    return *reportEngine();
}

ReportLayout TfrmDadosGerRel::LayoutAtual() const
{
    const int row = lstRelatorios->currentRow();
    if (row < 0 || row >= m_layouts.size())
        noDefinition();
    return m_layouts[row];
}

void TfrmDadosGerRel::ValidaImpressao(bool) {}

void TfrmDadosGerRel::AtribuiParametros(ReportParams&) {}

void TfrmDadosGerRel::run(Command command)
{
    ValidaImpressao(true);
    const ReportLayout layout = LayoutAtual();
    try {
        runLayout(command, layout);
    } catch (const ReportDefinitionMissing&) {
        noDefinition(); // removed from the folder since the list was made
    }
}

void TfrmDadosGerRel::runLayout(Command command, const ReportLayout& layout)
{
    ReportEngine& report = engine();
    ReportParams params(report.parameters(layout));
    AtribuiParametros(params);
    switch (command) {
    case Command::Preview:
        report.preview(layout, params.values());
        break;
    case Command::Print:
        report.print(layout, params.values());
        break;
    case Command::SaveAs: {
        FileRequest request;
        request.title = QStringLiteral("Salvar relatório");
        request.filter = QStringLiteral("Documento PDF (*.pdf)|*.pdf|Planilha CSV (*.csv)|*.csv");
        request.defaultExt = QStringLiteral("pdf");
        request.fileName = m_reportCode + layout.suffix + QStringLiteral(".pdf");
        const QString fileName = SalvarArquivo(request);
        if (!fileName.isEmpty())
            report.saveAs(layout, params.values(), fileName);
        break;
    }
    }
}

void TfrmDadosGerRel::sbtVisualizarClick() { run(Command::Preview); }

void TfrmDadosGerRel::sbtImprimirClick() { run(Command::Print); }

void TfrmDadosGerRel::sbtSalvarClick() { run(Command::SaveAs); }

void TfrmDadosGerRel::sbtEditarClick()
{
    ValidaImpressao(false);
    const ReportLayout layout = LayoutAtual();
    try {
        engine().edit(layout);
    } catch (const ReportDefinitionMissing&) {
        noDefinition();
    }
    listLayouts(); // the title may have changed; every run reads the file again
}

void TfrmDadosGerRel::sbtCancelClick()
{
    setModalResult(mrCancel);
    close();
}

} // namespace framework
