#include "changelog.h"

#include "db/database.h"
#include "errors.h"
#include "sqlpacket.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

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
    int providerFlags;
    bool key;
};

// The packet's columns that exist in the table, matched without regard to case.
QList<Column> mapColumns(QSqlDatabase& db, const DataPacket& log, const TableTarget& target)
{
    const QSqlRecord record = db::tableColumns(db, target.table);
    if (record.isEmpty())
        throw framework::Error(QStringLiteral("Tabela %1 não encontrada no banco de dados.").arg(target.table));
    QList<Column> columns;
    const auto& defs = log.fields();
    for (int i = 0; i < defs.size(); ++i) {
        for (int c = 0; c < record.count(); ++c) {
            if (record.fieldName(c).compare(defs[i].name, Qt::CaseInsensitive) != 0)
                continue;
            const bool key = target.keys.contains(defs[i].name, Qt::CaseInsensitive);
            columns.append({i, defs[i].name.toUpper(), defs[i].type, defs[i].providerFlags, key});
            break;
        }
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

// Values as the database drivers expect them; a null keeps the column's type.
QVariant bindable(const RowStore& store, int row, const Column& column)
{
    if (store.isNull(row, column.packetColumn))
        return QVariant();
    return store.value(row, column.packetColumn);
}

bool sameValue(const RowStore& a, const RowStore& b, int row, int col)
{
    const bool aNull = a.isNull(row, col), bNull = b.isNull(row, col);
    if (aNull || bNull)
        return aNull == bNull;
    return a.value(row, col) == b.value(row, col);
}

// "K1 = ? AND ... AND C = ? AND D IS NULL": the row as it was read. Keys always take part;
// other columns when they are marked for the check (binary ones never: they are too large to
// compare and are compared through the rest of the row).
void whereOriginal(const QList<Column>& columns, const RowStore& originals, int row, QStringList& terms,
                   QVariantList& values)
{
    for (const Column& c : columns) {
        const bool check = c.key || ((c.providerFlags & framework::pfInWhere) && c.type != FieldType::Blob);
        if (!check)
            continue;
        if (originals.isNull(row, c.packetColumn)) {
            terms << c.name + " IS NULL";
        } else {
            terms << c.name + " = ?";
            values << originals.value(row, c.packetColumn);
        }
    }
}

class Applier {
public:
    Applier(QSqlDatabase& db, const DataPacket& log, const TableTarget& target)
        : m_db(db), m_log(log), m_target(target), m_columns(mapColumns(db, log, target))
    {
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
    void insert(int row)
    {
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
            if (!(c.providerFlags & framework::pfInUpdate) && !c.key)
                continue;
            if (sameValue(m_log.rows, m_log.originals, row, c.packetColumn))
                continue;
            sets << c.name + " = ?";
            values << bindable(m_log.rows, row, c);
        }
        if (sets.isEmpty())
            return;
        QStringList where;
        whereOriginal(m_columns, m_log.originals, row, where, values);
        write(QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(m_target.table, sets.join(", "), where.join(" AND ")),
              values, true);
    }

    void remove(int row)
    {
        QStringList where;
        QVariantList values;
        // A deleted row's values are its values as read, kept in rows (and in originals when
        // it was modified before).
        const RowStore& before = hasOriginal(row) ? m_log.originals : m_log.rows;
        whereOriginal(m_columns, before, row, where, values);
        write(QStringLiteral("DELETE FROM %1 WHERE %2").arg(m_target.table, where.join(" AND ")), values, true);
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

    void write(const QString& sql, const QVariantList& values, bool mustMatchOneRow)
    {
        QSqlQuery query(m_db);
        if (!query.prepare(sql))
            throw framework::Error(QStringLiteral("Erro no banco de dados: %1").arg(query.lastError().text()));
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values[i]);
        if (!query.exec())
            throw Refusal(QStringLiteral("Não foi possível gravar as alterações em %1: %2")
                              .arg(m_target.table, query.lastError().databaseText()));
        if (mustMatchOneRow && query.numRowsAffected() != 1)
            throw Refusal(conflictText(m_target.table));
    }

    QSqlDatabase& m_db;
    const DataPacket& m_log;
    const TableTarget& m_target;
    QList<Column> m_columns;
};

} // namespace

QString conflictText(const QString& table)
{
    return QStringLiteral("O registro foi alterado ou excluído por outro usuário depois de ter sido lido "
                          "(tabela %1). Nenhuma alteração foi gravada; recarregue os dados e tente novamente.")
        .arg(table);
}

void applyChangeLog(QSqlDatabase& db, const DataPacket& log, const TableTarget& target)
{
    if (!log.carriesLog && log.rowCount() > 0)
        throw Refusal(QStringLiteral("O pacote enviado para %1 não é um registro de alterações.").arg(target.table));
    Applier(db, log, target).run();
}

} // namespace appserver
