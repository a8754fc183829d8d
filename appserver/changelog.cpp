#include "changelog.h"

#include "db/database.h"
#include "errors.h"
#include "sqlpacket.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <memory>

namespace appserver {

namespace {

using framework::DataPacket;
using framework::FieldType;
using framework::RowStatus;
using framework::RowStore;

struct Column {
    int packetColumn; // position in the packet
    QString name;     // as the table spells it
    FieldType type;
    bool key;
    bool checked; // compared with its original value on Modified and Deleted rows
};

bool listed(const QStringList& names, const QString& name)
{
    return names.contains(name, Qt::CaseInsensitive);
}

// The packet's columns that the target may write, matched without regard to case. Keys are
// always taken, so that rows can be found.
QList<Column> mapColumns(QSqlDatabase& db, const DataPacket& log, const TableTarget& target)
{
    const QSqlRecord record = db::tableColumns(db, target.table);
    if (record.isEmpty())
        throw DatabaseFault(QStringLiteral("Tabela %1 não encontrada no banco de dados.").arg(target.table));
    QList<Column> columns;
    const auto& defs = log.fields();
    for (int i = 0; i < defs.size(); ++i) {
        if (!record.contains(defs[i].name))
            continue;
        const bool key = listed(target.keys, defs[i].name);
        if (!key && !target.writable.isEmpty() && !listed(target.writable, defs[i].name))
            continue;
        const bool checked =
            key || (target.check == TableTarget::Check::Writable && defs[i].type != FieldType::Blob);
        columns.append({i, defs[i].name.toUpper(), defs[i].type, key, checked});
    }
    for (const QString& key : target.keys) {
        const bool present = std::any_of(columns.begin(), columns.end(),
                                         [&](const Column& c) { return c.name.compare(key, Qt::CaseInsensitive) == 0; });
        if (!present)
            throw Refusal(QStringLiteral("As alterações enviadas para %1 não trazem a coluna %2 da chave.")
                              .arg(target.table, key));
    }
    return columns;
}

// A cell as the drivers bind it: null keeps no type, an empty text stays an empty text.
QVariant bindable(const RowStore& store, int row, const Column& column)
{
    if (store.isNull(row, column.packetColumn))
        return QVariant();
    if (column.type == FieldType::String) {
        const QString text = store.text(row, column.packetColumn);
        return text.isEmpty() ? QVariant(QStringLiteral("")) : QVariant(text);
    }
    return sqlValue(store.value(row, column.packetColumn));
}

bool sameValue(const RowStore& a, const RowStore& b, int row, int col)
{
    const bool aNull = a.isNull(row, col), bNull = b.isNull(row, col);
    if (aNull || bNull)
        return aNull == bNull;
    return a.value(row, col) == b.value(row, col);
}

class Applier {
public:
    Applier(QSqlDatabase& db, const DataPacket& log, const TableTarget& target)
        : m_db(db), m_log(log), m_target(target), m_columns(mapColumns(db, log, target)),
          m_nullSafeEquals(db::isPostgres(db) ? QStringLiteral(" IS NOT DISTINCT FROM ?") : QStringLiteral(" IS ?"))
    {
        m_whereOriginal = whereOriginalText();
    }

    void run()
    {
        // Deletions first, so that a row removed and inserted again with the same key works.
        for (int row = 0; row < m_log.rowCount(); ++row)
            if (m_log.rowStatus(row) == RowStatus::Deleted)
                remove(row);
        for (int row = 0; row < m_log.rowCount(); ++row) {
            switch (m_log.rowStatus(row)) {
            case RowStatus::Modified: modify(row); break;
            case RowStatus::Inserted: insert(row); break;
            default: break;
            }
        }
    }

private:
    // "K1 = ? AND ... AND C IS NOT DISTINCT FROM ?": the row as it was read. One text whatever
    // the values, so that the statement is prepared once for the whole log.
    QString whereOriginalText() const
    {
        QStringList terms;
        for (const Column& c : m_columns)
            if (c.checked)
                terms << c.name + (c.key ? QStringLiteral(" = ?") : m_nullSafeEquals);
        return terms.join(QStringLiteral(" AND "));
    }

    void originalValues(const RowStore& originals, int row, QVariantList& values) const
    {
        for (const Column& c : m_columns)
            if (c.checked)
                values << bindable(originals, row, c);
    }

    void insert(int row)
    {
        // A key someone else inserted meanwhile is a conflict, told before the INSERT fails
        // (PostgreSQL would abort the transaction on the failure).
        QStringList keyTerms;
        QVariantList keyValues;
        for (const Column& c : m_columns)
            if (c.key) {
                keyTerms << c.name + " = ?";
                keyValues << bindable(m_log.rows, row, c);
            }
        QSqlQuery& existing = prepared(
            QStringLiteral("SELECT 1 FROM %1 WHERE %2").arg(m_target.table, keyTerms.join(QStringLiteral(" AND "))));
        run(existing, keyValues);
        if (existing.next())
            throw Refusal(duplicateText(m_target.table));
        existing.finish();

        QStringList names, marks;
        QVariantList values;
        // Nulls are written too: the row stored is the row the client holds, so the client's
        // later changes to it (checked against what it read) are not taken for someone else's.
        for (const Column& c : m_columns) {
            names << c.name;
            marks << "?";
            values << bindable(m_log.rows, row, c);
        }
        write(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(m_target.table, names.join(", "), marks.join(", ")),
              values, false);
    }

    void modify(int row)
    {
        QStringList sets;
        QVariantList values;
        for (const Column& c : m_columns) {
            if (c.key && !listed(m_target.writable, c.name))
                continue;
            if (sameValue(m_log.rows, m_log.originals, row, c.packetColumn))
                continue;
            sets << c.name + " = ?";
            values << bindable(m_log.rows, row, c);
        }
        if (sets.isEmpty())
            return;
        originalValues(m_log.originals, row, values);
        write(QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(m_target.table, sets.join(", "), m_whereOriginal),
              values, true);
    }

    void remove(int row)
    {
        QVariantList values;
        // A deleted row's values are its values as read, kept in rows (and in originals when
        // it was modified before).
        originalValues(hasOriginal(row) ? m_log.originals : m_log.rows, row, values);
        write(QStringLiteral("DELETE FROM %1 WHERE %2").arg(m_target.table, m_whereOriginal), values, true);
    }

    bool hasOriginal(int row) const
    {
        if (m_log.originals.rowCount() <= row)
            return false;
        for (const Column& c : m_columns)
            if (c.key && !m_log.originals.isNull(row, c.packetColumn))
                return true;
        return false;
    }

    QSqlQuery& prepared(const QString& sql)
    {
        std::shared_ptr<QSqlQuery>& query = m_prepared[sql];
        if (!query) {
            query = std::make_shared<QSqlQuery>(m_db);
            query->setForwardOnly(true);
            if (!query->prepare(sql))
                throw DatabaseFault(query->lastError().text());
        }
        return *query;
    }

    void run(QSqlQuery& query, const QVariantList& values)
    {
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values[i]);
        if (!query.exec())
            throw Refusal(QStringLiteral("Não foi possível gravar as alterações em %1: o banco de dados recusou os "
                                         "valores enviados.")
                              .arg(m_target.table),
                          query.lastError().text());
    }

    void write(const QString& sql, const QVariantList& values, bool mustMatchOneRow)
    {
        QSqlQuery& query = prepared(sql);
        run(query, values);
        if (mustMatchOneRow && query.numRowsAffected() != 1)
            throw Refusal(conflictText(m_target.table));
    }

    QSqlDatabase& m_db;
    const DataPacket& m_log;
    const TableTarget& m_target;
    QList<Column> m_columns;
    QString m_nullSafeEquals;
    QString m_whereOriginal;
    QHash<QString, std::shared_ptr<QSqlQuery>> m_prepared;
};

} // namespace

QString conflictText(const QString& table)
{
    return QStringLiteral("O registro foi alterado ou excluído por outro usuário depois de ter sido lido "
                          "(tabela %1). Nenhuma alteração foi gravada; recarregue os dados e tente novamente.")
        .arg(table);
}

QString duplicateText(const QString& table)
{
    return QStringLiteral("Outro usuário já incluiu um registro com a mesma chave (tabela %1). "
                          "Nenhuma alteração foi gravada; recarregue os dados e tente novamente.")
        .arg(table);
}

void applyChangeLog(QSqlDatabase& db, const DataPacket& log, const TableTarget& target)
{
    // Nothing to apply: the packet need not even bring the table's key.
    if (log.rowCount() == 0)
        return;
    if (!log.carriesLog && log.rowCount() > 0)
        throw Refusal(QStringLiteral("O pacote enviado para %1 não é um registro de alterações.").arg(target.table));
    Applier(db, log, target).run();
}

} // namespace appserver
