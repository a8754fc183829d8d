#pragma once

#include "reportdocument.h"
#include "reportengine.h"

#include <functional>

namespace framework {

// The report engine of the host: report definitions are text files in one folder (see
// reports/README.md), named after the report code's first six characters, the layout suffix and
// ".QR2" (letter case ignored). Queries run on the host's database connection.
//
// Preview opens a print-preview window and print the printer dialog; save-as writes a PDF, or a
// CSV when the name ends in ".csv"; edit opens the definition in a text editor, and every run
// reads the file again. Long reports show a progress window that can cancel them.
class FileReportEngine : public ReportEngine {
public:
    explicit FileReportEngine(const QString& directory, const QString& connectionName = {});

    QString directory() const override { return m_directory; }
    QList<ReportLayout> layouts(const QString& reportCode) const override;
    QStringList parameters(const ReportLayout& layout) const override;
    void preview(const ReportLayout& layout, const QVariantMap& params) override;
    void print(const ReportLayout& layout, const QVariantMap& params) override;
    void saveAs(const ReportLayout& layout, const QVariantMap& params, const QString& fileName) override;
    void edit(const ReportLayout& layout) override;

    // Headless runs and tests: preview and print write PDF files there instead of opening windows.
    void setPreviewFile(const QString& pdf) { m_previewFile = pdf; }
    void setPrintFile(const QString& pdf) { m_printFile = pdf; }
    // Edits a definition file and returns when the user is done; the default is a text editor window.
    void setEditor(std::function<void(const QString& fileName)> editor) { m_editor = std::move(editor); }

    // The definition's path; throws ReportDefinitionMissing when the folder has no such file.
    QString path(const ReportLayout& layout) const;
    ReportDocument run(const ReportLayout& layout, const QVariantMap& params) const;
    static void writePdf(const ReportDocument& document, const QString& fileName, const ReportProgress& progress = {});
    static void writeCsv(const ReportDocument& document, const QString& fileName);

    // The reports folder installed beside the program.
    static QString defaultDirectory();

private:
    QString m_directory;
    QString m_connectionName;
    QString m_previewFile, m_printFile;
    std::function<void(const QString&)> m_editor;
};

} // namespace framework
