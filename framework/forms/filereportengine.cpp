#include "filereportengine.h"

#include "framework/abort.h"
#include "framework/core/hostcontext.h"
#include "framework/ui/guard.h"
#include "pdfjoin.h"

#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSaveFile>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>
#include <future>
#include <vector>

namespace framework {

namespace {

const QString extension = QStringLiteral(".QR2");

// The progress window of one report run; the user's Cancelar ends the run.
class RunProgress {
public:
    RunProgress()
    {
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
            return;
        m_dialog = std::make_unique<QProgressDialog>(QStringLiteral("Gerando o relatório..."), QStringLiteral("Cancelar"), 0, 0);
        m_dialog->setObjectName(QStringLiteral("prgRelatorio"));
        m_dialog->setWindowTitle(QStringLiteral("Relatório"));
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setMinimumDuration(500);
        m_dialog->setValue(0);
    }

    ReportProgress rows()
    {
        return [this](int done) { return step(QStringLiteral("Lendo registros: %1").arg(done)); };
    }
    ReportProgress pages()
    {
        return [this](int done) { return step(QStringLiteral("Montando páginas: %1").arg(done)); };
    }

private:
    bool step(const QString& text)
    {
        if (!m_dialog)
            return true;
        m_dialog->setLabelText(text);
        QCoreApplication::processEvents();
        return !m_dialog->wasCanceled();
    }

    std::unique_ptr<QProgressDialog> m_dialog;
};

void setUpPage(QPagedPaintDevice& device, const ReportDocument& document)
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                     document.definition().landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
}

// A report file written whole or not at all: a failed or cancelled run leaves what was there.
class SavedReport {
public:
    explicit SavedReport(const QString& fileName) : m_file(fileName)
    {
        if (!m_file.open(QIODevice::WriteOnly))
            fail();
    }
    QIODevice& device() { return m_file; }
    void write(const QByteArray& bytes)
    {
        if (m_file.write(bytes) != bytes.size())
            fail();
    }
    void commit()
    {
        if (!m_file.commit())
            fail();
    }

private:
    [[noreturn]] void fail() const
    {
        throw Error(QStringLiteral("Não foi possível gravar o relatório em %1: %2").arg(m_file.fileName(), m_file.errorString()));
    }

    QSaveFile m_file;
};

void setUpPdf(QPdfWriter& writer, const ReportDocument& document)
{
    writer.setResolution(300);
    writer.setTitle(document.title());
    writer.setCreator(QStringLiteral("Receita Padrão"));
    setUpPage(writer, document);
}

// Pages first to end - 1 of the report as a PDF file's bytes.
QByteArray pdfPages(const ReportDocument& document, int first, int end, const ReportProgress& progress)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        setUpPdf(writer, document);
        ReportPainter(document).paint(writer, progress, first, end);
    }
    return buffer.data();
}

// Below this many pages per part, threads and joining cost more than they save.
constexpr int pagesPerPart = 8;

// Most of a long report's time goes into the PDF writer, so its pages are painted in parts, one
// per core, and joined. This thread paints the first part and reports progress for the whole.
QByteArray paintPdf(const ReportDocument& document, const ReportProgress& progress)
{
    int pages = 0;
    {
        QBuffer unused;
        QPdfWriter metrics(&unused);
        setUpPdf(metrics, document);
        pages = ReportPainter(document).pageCount(metrics);
    }
    const int parts = std::clamp(pages / pagesPerPart, 1, std::max(1, QThread::idealThreadCount()));
    const auto bound = [&](int part) { return pages * part / parts; };

    std::atomic_bool cancelled = false;
    std::vector<std::future<QByteArray>> others;
    for (int part = 1; part < parts; ++part)
        others.push_back(std::async(std::launch::async, [&, part] {
            return pdfPages(document, bound(part), bound(part + 1), [&cancelled](int) { return !cancelled; });
        }));
    QList<QByteArray> pdfs;
    try {
        pdfs << pdfPages(document, 0, bound(1), [&](int done) { return !progress || progress(done * parts); });
        for (std::future<QByteArray>& other : others)
            pdfs << other.get();
    } catch (...) {
        cancelled = true;
        for (std::future<QByteArray>& other : others)
            if (other.valid())
                other.wait();
        throw;
    }
    return joinPdfs(pdfs);
}

// The default editor: the definition's text in a window; saving checks it first, so a broken
// definition is never written over a working one.
void editInWindow(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Não foi possível abrir %1: %2").arg(fileName, file.errorString()));
    QDialog dialog(QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("frmEditaRelatorio"));
    dialog.setWindowTitle(QStringLiteral("Editar relatório - %1").arg(QFileInfo(fileName).fileName()));
    dialog.resize(900, 640);
    auto* editor = new QPlainTextEdit(&dialog);
    editor->setObjectName(QStringLiteral("memDefinicao"));
    editor->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    editor->setPlainText(QString::fromUtf8(file.readAll()));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Save)->setText(QStringLiteral("&Salvar"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("&Cancelar"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(editor);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    guardedConnect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        const QString text = editor->toPlainText();
        try {
            ReportDefinition::parse(text, QFileInfo(fileName).fileName());
        } catch (const Error& e) {
            QMessageBox::warning(&dialog, dialog.windowTitle(), e.message());
            return;
        }
        QSaveFile out(fileName);
        if (!out.open(QIODevice::WriteOnly) || out.write(text.toUtf8()) < 0 || !out.commit())
            throw Error(QStringLiteral("Não foi possível gravar %1: %2").arg(fileName, out.errorString()));
        dialog.accept();
    });
    dialog.exec();
}

} // namespace

FileReportEngine::FileReportEngine(const QString& directory, const QString& connectionName)
    : m_directory(QDir(directory).absolutePath()), m_connectionName(connectionName), m_editor(editInWindow)
{
}

QString FileReportEngine::defaultDirectory()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("reports"));
}

QList<ReportLayout> FileReportEngine::layouts(const QString& reportCode) const
{
    const QString prefix = reportCode.left(6);
    QList<ReportLayout> result;
    const QStringList files = QDir(m_directory).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : files) {
        if (name.size() != prefix.size() + 2 + extension.size() || !name.startsWith(prefix, Qt::CaseInsensitive)
            || !name.endsWith(extension, Qt::CaseInsensitive))
            continue;
        ReportLayout layout;
        layout.suffix = name.mid(prefix.size(), 2);
        layout.fileName = prefix + layout.suffix + extension;
        try {
            const ReportDefinition definition = ReportDefinition::load(QDir(m_directory).filePath(name));
            layout.title = definition.layoutTitle.isEmpty() ? definition.title : definition.layoutTitle;
        } catch (const Error&) {
            layout.title = QStringLiteral("%1 (definição com erro)").arg(name);
        }
        result << layout;
    }
    return result;
}

QString FileReportEngine::path(const ReportLayout& layout) const
{
    const QDir dir(m_directory);
    for (const QString& name : dir.entryList(QDir::Files))
        if (name.compare(layout.fileName, Qt::CaseInsensitive) == 0)
            return dir.filePath(name);
    throw ReportDefinitionMissing(layout.fileName);
}

QStringList FileReportEngine::parameters(const ReportLayout& layout) const
{
    return ReportDefinition::load(path(layout)).parameters();
}

ReportDocument FileReportEngine::run(const ReportLayout& layout, const QVariantMap& params) const
{
    const ReportDefinition definition = ReportDefinition::load(path(layout));
    const QString connection = m_connectionName.isEmpty() ? hostContext().databaseConnection : m_connectionName;
    QSqlDatabase db = QSqlDatabase::database(connection);
    if (!db.isOpen())
        throw Error(QStringLiteral("O banco de dados do relatório não está aberto."));
    RunProgress progress;
    return ReportDocument::build(definition, db, params, progress.rows());
}

void FileReportEngine::writePdf(const ReportDocument& document, const QString& fileName, const ReportProgress& progress)
{
    SavedReport out(fileName);
    const QByteArray pdf = paintPdf(document, progress);
    out.write(pdf);
    out.commit();
}

void FileReportEngine::writeCsv(const ReportDocument& document, const QString& fileName)
{
    SavedReport out(fileName);
    document.writeCsv(out.device());
    out.commit();
}

void FileReportEngine::preview(const ReportLayout& layout, const QVariantMap& params)
{
    const ReportDocument document = run(layout, params);
    if (!m_previewFile.isEmpty()) {
        writePdf(document, m_previewFile);
        return;
    }
    QPrinter printer(QPrinter::ScreenResolution);
    setUpPage(printer, document);
    QPrintPreviewDialog dialog(&printer, QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("frmVisualizaRelatorio"));
    dialog.setWindowTitle(document.title());
    dialog.setWindowState(Qt::WindowMaximized);
    // The preview paints every page at once (and again on a page-setup change): a long report
    // shows its progress, and Cancelar leaves the pages painted so far.
    guardedConnect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&document](QPrinter* target) {
        RunProgress progress;
        ReportPainter(document).paint(*target, progress.pages());
    });
    dialog.exec();
}

void FileReportEngine::print(const ReportLayout& layout, const QVariantMap& params)
{
    const ReportDocument document = run(layout, params);
    QPrinter printer(QPrinter::HighResolution);
    setUpPage(printer, document);
    printer.setDocName(document.title());
    if (!m_printFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_printFile);
    } else {
        QPrintDialog dialog(&printer, QApplication::activeWindow());
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    RunProgress progress;
    const ReportProgress pages = progress.pages();
    // Cancelling withdraws the job while it is still open: ending it would print the pages painted
    // so far. Qt's PDF-based engines (a file, CUPS) cannot withdraw a job; a file is removed.
    bool cancelled = false;
    const auto leaveNoFile = qScopeGuard([&] {
        if (cancelled && printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
            QFile::remove(printer.outputFileName());
    });
    ReportPainter(document).paint(printer, [&](int done) {
        if (pages(done))
            return true;
        cancelled = true;
        printer.abort();
        return false;
    });
}

void FileReportEngine::saveAs(const ReportLayout& layout, const QVariantMap& params, const QString& fileName)
{
    const ReportDocument document = run(layout, params);
    if (fileName.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
        writeCsv(document, fileName);
        return;
    }
    RunProgress progress;
    writePdf(document, fileName, progress.pages());
}

void FileReportEngine::edit(const ReportLayout& layout)
{
    m_editor(path(layout));
}

} // namespace framework
