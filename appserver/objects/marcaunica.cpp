#include "marcaunica.h"

#include "appserver/call.h"
#include "appserver/errors.h"

#include <QSet>
#include <algorithm>

namespace appserver {

namespace {

// Groups per statement: the OR list stays short enough for any planner.
constexpr int gruposPorConsulta = 100;

} // namespace

QList<QVariantList> gruposAlterados(const framework::DataPacket& log, const QStringList& grupo)
{
    if (log.rowCount() == 0)
        return {};
    QList<int> columns;
    for (const QString& name : grupo) {
        const int column = log.rows.indexOf(name);
        if (column < 0)
            throw Refusal(QStringLiteral("As alterações enviadas não trazem a coluna %1.").arg(name));
        columns << column;
    }
    QList<QVariantList> grupos;
    QSet<QString> seen;
    for (int row = 0; row < log.rowCount(); ++row) {
        const framework::RowStatus status = log.rowStatus(row);
        if (status != framework::RowStatus::Inserted && status != framework::RowStatus::Modified)
            continue;
        QStringList texts;
        for (const int column : columns)
            texts << log.rows.text(row, column);
        const QString key = texts.join(QChar(0));
        if (seen.contains(key))
            continue;
        seen.insert(key);
        grupos << QVariantList(texts.cbegin(), texts.cend());
    }
    return grupos;
}

void verificaMarcaUnica(Call& call, const MarcaUnica& marca, const QList<QVariantList>& grupos, const QString& recusa)
{
    QStringList terms;
    for (const QString& column : marca.grupo)
        terms << column + QStringLiteral(" = ?");
    const QString umGrupo = QStringLiteral("(%1)").arg(terms.join(QStringLiteral(" AND ")));
    for (qsizetype first = 0; first < grupos.size(); first += gruposPorConsulta) {
        const qsizetype count = std::min<qsizetype>(gruposPorConsulta, grupos.size() - first);
        QStringList alternatives;
        QVariantList values{marca.valor};
        for (qsizetype g = first; g < first + count; ++g) {
            alternatives << umGrupo;
            values += grupos[g];
        }
        const QVariant doubled = call.value(
            QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ? AND (%3) GROUP BY %4 HAVING COUNT(*) > 1")
                .arg(QLatin1String(marca.tabela), marca.marca, alternatives.join(QStringLiteral(" OR ")),
                     marca.grupo.join(QStringLiteral(", "))),
            values);
        if (doubled.isValid())
            throw Refusal(recusa);
    }
}

} // namespace appserver
