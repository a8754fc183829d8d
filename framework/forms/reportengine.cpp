#include "reportengine.h"

#include "framework/abort.h"

namespace framework {

namespace {
std::unique_ptr<ReportEngine>& engineSlot()
{
    static std::unique_ptr<ReportEngine> engine;
    return engine;
}
} // namespace

ReportEngine* reportEngine() { return engineSlot().get(); }

void setReportEngine(std::unique_ptr<ReportEngine> engine) { engineSlot() = std::move(engine); }

ReportParams::ReportParams(const QStringList& names) : m_names(names) {}

QString ReportParams::spelling(const QString& name) const
{
    for (const QString& n : m_names)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return n;
    return {};
}

bool ReportParams::ExistParam(const QString& name) const { return !spelling(name).isEmpty(); }

void ReportParams::setParam(const QString& name, const QVariant& value)
{
    const QString n = spelling(name);
    if (n.isEmpty())
        throw Error(QStringLiteral("O relatório não tem o parâmetro '%1'.").arg(name));
    m_values.insert(n, value);
}

QVariant ReportParams::param(const QString& name) const { return m_values.value(spelling(name)); }

} // namespace framework
