#include "dishtree.h"

#include "appserver/errors.h"
#include "appserver/sqlpacket.h"
#include "db/database.h"

#include <QSqlError>

namespace appserver::dishtree {

namespace {

using framework::DataPacket;
using framework::RowStatus;

// The key never changes (a modification of it is refused before the log is applied).
const TableTarget pratoTarget{"PRATO",
                              {"CDFILAUXPRAT", "CDPRATO"},
                              {"NMPRATO", "CDNVPRATO", "CDFILIAL", "SGUNIDADE", "VRARREDTRANS", "CDSEGMER",
                               "NRFORMAPREPARO", "IDFREQUENCIA", "QTTEMPOPRAT", "VRVALIDADE", "IDATIVO",
                               "CDPRODPRODUCAO"}};

// Tables whose rows belong to one dish through (CDFILAUXPRAT, CDPRATO). Nothing of them means
// anything once the dish is gone, and the form offers no way to empty them first (the last row
// of a standard recipe cannot be deleted), so they go with the dish.
const char* const dependentTables[] = {
    "PRODPRAT", "RECEFILI", "RECESERV", "RECETPCARD",     // recipes
    "DADOSPRAT", "PRATFILI", "PRATSERV", "PRATTPCARD",    // dish data
    "PREPPRAT", "PREPFILI", "PREPSERV",                   // preparation modes
    "FOTOPRAPAD", "FOTOPRAFIL", "FOTOPRASER",             // photos
    "PRATOCONTAINER",                                     // containers
    "CARDPRATO",                                          // the branches' menus
    "PERCRECESERV",                                       // the services' recipes by percentage
};

struct DishKey {
    QString owner; // CDFILAUXPRAT
    QString code;  // CDPRATO
};

QString treeName(const QString& owner)
{
    return owner == "P" ? QStringLiteral("árvore padrão") : QStringLiteral("árvore da filial %1").arg(owner);
}

class LogReader {
public:
    explicit LogReader(const DataPacket& log)
        : m_log(log), m_owner(log.rows.indexOf("CDFILAUXPRAT")), m_code(log.rows.indexOf("CDPRATO"))
    {
        if (m_owner < 0 || m_code < 0)
            throw Refusal(
                QStringLiteral("As alterações enviadas para PRATO não trazem a chave (CDFILAUXPRAT, CDPRATO)."));
    }

    DishKey current(int row) const { return {m_log.rows.text(row, m_owner), m_log.rows.text(row, m_code)}; }

    // The key as it was read: a row modified before being deleted keeps it in the originals.
    DishKey asRead(int row) const
    {
        const bool modified = row < m_log.originals.rowCount() && !m_log.originals.isNull(row, m_code);
        const auto& store = modified ? m_log.originals : m_log.rows;
        return {store.text(row, m_owner), store.text(row, m_code)};
    }

    bool keyChanged(int row) const
    {
        const DishKey now = current(row), before = asRead(row);
        return now.owner != before.owner || now.code != before.code;
    }

private:
    const DataPacket& m_log;
    int m_owner;
    int m_code;
};

void removeDependents(Call& call, const DishKey& dish)
{
    for (const char* table : dependentTables)
        execute(call.db(), QStringLiteral("DELETE FROM %1 WHERE CDFILAUXPRAT = ? AND CDPRATO = ?").arg(table),
                {dish.owner, dish.code});
}

// The codes that start with the group's code lie between it and the code that follows its
// last character, in byte order: a range the index on CDPRATO serves. The position check keeps
// the answer exact (a '%' or '_' in a code stays a character). PostgreSQL compares in the byte
// order of the "C" collation, which its index of the same collation serves.
void refuseOrphans(Call& call, const DishKey& group)
{
    if (group.code.isEmpty())
        return;
    QString after = group.code;
    after[after.size() - 1] = QChar(after.back().unicode() + 1);
    const QString column = db::isPostgres(call.db()) ? QStringLiteral("CDPRATO COLLATE \"C\"") : QStringLiteral("CDPRATO");
    QSqlQuery child = execute(call.db(),
                              QStringLiteral("SELECT CDPRATO, CDFILAUXPRAT FROM PRATO "
                                             "WHERE %1 > ? AND %1 < ? AND SUBSTR(CDPRATO, 1, ?) = ? "
                                             "ORDER BY CDFILAUXPRAT, CDPRATO LIMIT 1")
                                  .arg(column),
                              {group.code, after, group.code.size(), group.code});
    if (child.next())
        throw Refusal(QStringLiteral("Exclusão não permitida. Existem pratos relacionados ao grupo %1 "
                                     "(prato %2 na %3).")
                          .arg(group.code, child.value(0).toString(), treeName(child.value(1).toString())));
}

// PostgreSQL reads under READ COMMITTED: two calls could each find a code free, or a group
// without children, and both write. Dish-tree updates take turns; readers and the other
// tables' writers are not held up (SQLite's writers already take turns).
void serialise(Call& call)
{
    if (!db::isPostgres(call.db()))
        return;
    QSqlQuery lock(call.db()); // a utility statement: run as is, it cannot be prepared
    if (!lock.exec("LOCK TABLE PRATO IN SHARE ROW EXCLUSIVE MODE"))
        throw DatabaseFault(lock.lastError().text());
}

void refuseDuplicate(Call& call, const DishKey& dish)
{
    const QVariant count = call.value(
        "SELECT COUNT(*) FROM PRATO WHERE CDPRATO = ? AND (CDFILAUXPRAT = 'P' OR CDFILAUXPRAT = ?)",
        {dish.code, dish.owner});
    if (count.toInt() > 1)
        throw Refusal(
            QStringLiteral("Prato já cadastrado na árvore padrão ou da filial (código %1).").arg(dish.code));
}

} // namespace

bool isCompleteCode(const QString& code)
{
    return !code.isEmpty() && !code.contains(QLatin1Char(' '));
}

void applyLog(Call& call, const DataPacket& log)
{
    const LogReader reader(log);
    serialise(call);
    QList<DishKey> inserted, deleted;
    for (int row = 0; row < log.rowCount(); ++row) {
        switch (log.rowStatus(row)) {
        case RowStatus::Inserted:
            inserted << reader.current(row);
            if (!isCompleteCode(inserted.last().code))
                throw Refusal(
                    QStringLiteral("Código de prato inválido: \"%1\". Nível deve ser totalmente preenchido.")
                        .arg(inserted.last().code));
            break;
        case RowStatus::Modified:
            if (reader.keyChanged(row))
                throw Refusal(QStringLiteral("O código e a origem de um prato não podem ser alterados (prato %1).")
                                  .arg(reader.asRead(row).code));
            break;
        case RowStatus::Deleted: deleted << reader.asRead(row); break;
        default: break;
        }
    }

    for (const DishKey& dish : deleted)
        removeDependents(call, dish);
    call.apply(log, pratoTarget);
    // Checked on the result, so that a log removing a group together with its children passes.
    for (const DishKey& dish : deleted)
        refuseOrphans(call, dish);
    for (const DishKey& dish : inserted)
        refuseDuplicate(call, dish);
}

} // namespace appserver::dishtree
