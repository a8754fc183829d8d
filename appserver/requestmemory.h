#pragma once

#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <chrono>
#include <optional>

namespace appserver {

// The answers of recent updates by request id, kept in the database (REQUISICAOSERVIDOR), so
// that a client whose answer was lost and sends the same call again, to this daemon or another,
// gets the first answer instead of applying the change twice. An update claims its id inside
// its own transaction: the claim and the change are committed together or not at all, and a
// repeat that arrives while the first is running waits for the database's lock on the claimed
// id, then reads what it answered. Only what a repeat needs is kept: the status text and the
// arguments the update wrote.
class RequestMemory {
public:
    struct Key {
        QString operatorCode;
        QString requestId;
        QString method; // "object.method", in lower case
    };
    struct Answer {
        QString status;
        QList<QPair<int, QVariant>> written; // argument index, value
    };

    explicit RequestMemory(std::chrono::milliseconds keepFor) : m_keepFor(keepFor) {}

    // Claims the id for the running transaction; when an earlier call holds it, its answer.
    std::optional<Answer> claim(QSqlDatabase& db, const Key& key) const;
    // Keeps the answer of the claimed id, in the same transaction.
    void keep(QSqlDatabase& db, const Key& key, const Answer& answer) const;
    // Deletes the answers older than the time they are kept for.
    void sweep(QSqlDatabase& db) const;

private:
    std::chrono::milliseconds m_keepFor;
};

} // namespace appserver
