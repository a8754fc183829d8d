#pragma once

#include "framework/abort.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <memory>

namespace framework {

// One layout of a report code: a report definition the engine can run.
struct ReportLayout {
    QString suffix;   // the layout's suffix after the report code ("01", "02")
    QString title;    // shown in the layout list
    QString fileName; // the definition's file name (report code's first six characters + suffix + ".QR2")
};

// The values a report form gives its layout's query: only parameters the query has can be set.
class ReportParams {
public:
    explicit ReportParams(const QStringList& names);
    bool ExistParam(const QString& name) const; // letter case ignored
    void setParam(const QString& name, const QVariant& value); // throws framework::Error when absent
    QVariant param(const QString& name) const;
    const QVariantMap& values() const { return m_values; } // by the query's own spelling of the names

private:
    QString spelling(const QString& name) const;
    QStringList m_names;
    QVariantMap m_values;
};

// The layout's definition file is not in the reports folder (the report forms show "Arq_Rel_Err").
class ReportDefinitionMissing : public Error {
public:
    explicit ReportDefinitionMissing(const QString& fileName)
        : Error(QStringLiteral("Definição de relatório %1 não encontrada.").arg(fileName)) {}
};

// What runs the report definitions; the report forms only choose a layout and fill parameters.
class ReportEngine {
public:
    virtual ~ReportEngine() = default;
    virtual QString directory() const = 0; // where the definitions live
    virtual QList<ReportLayout> layouts(const QString& reportCode) const = 0;
    virtual QStringList parameters(const ReportLayout& layout) const = 0;
    virtual void preview(const ReportLayout& layout, const QVariantMap& params) = 0;
    virtual void print(const ReportLayout& layout, const QVariantMap& params) = 0;
    virtual void saveAs(const ReportLayout& layout, const QVariantMap& params, const QString& fileName) = 0;
    virtual void edit(const ReportLayout& layout) = 0;
};

// The engine the report forms use; none until the host installs one.
ReportEngine* reportEngine();
void setReportEngine(std::unique_ptr<ReportEngine> engine);

} // namespace framework
