#pragma once

#include "caller.h"
#include "changelog.h"
#include "errors.h"
#include "framework/data/datapacket.h"

#include <QDate>
#include <QSqlDatabase>
#include <QVariantList>

namespace appserver {

// What a method reads an argument as.
enum class ArgumentKind { Text, Integer, Number, Flag, Date, Packet };

// A call refused because an argument is missing or is not of the kind the method reads it as.
// It says which argument and what was expected, so that a caller can tell a malformed call from
// a refused one.
class ArgumentRefusal : public Refusal {
public:
    ArgumentRefusal(const QString& text, int index, ArgumentKind expected)
        : Refusal(text), m_index(index), m_expected(expected)
    {
    }
    int index() const { return m_index; }
    ArgumentKind expected() const { return m_expected; }

private:
    int m_index;
    ArgumentKind m_expected;
};

class GrantStore;

// One method call as a server object sees it: who calls, the arguments (passed by reference:
// what the method writes into them goes back to the client) and the database, inside the call's
// transaction.
class Call {
public:
    Call(QSqlDatabase& db, QVariantList& args, const QString& method, const Caller& caller, const GrantStore& grants)
        : m_db(db), m_args(args), m_method(method), m_caller(caller), m_grants(grants)
    {
    }

    QSqlDatabase& db() { return m_db; }
    const QString& method() const { return m_method; }
    QVariantList& args() { return m_args; }
    const Caller& caller() const { return m_caller; }
    // The supervisor authorisations of the sessions.
    const GrantStore& grants() const { return m_grants; }
    // Words for the server's log line of the call (who authorised, what was missing).
    void logNote(const QString& note) { m_logNote += (m_logNote.isEmpty() ? QString() : QStringLiteral("; ")) + note; }
    const QString& logNote() const { return m_logNote; }

    // Typed reads of an argument; a missing argument, or one of another kind, refuses the call
    // with an ArgumentRefusal.
    QString text(int index) const;
    qint64 integer(int index) const;
    double number(int index) const;
    bool flag(int index) const;                    // a boolean argument
    framework::DataPacket packet(int index) const; // a data packet or change log
    // A date, a date-time (its day) or ISO text; invalid refuses with the given text, or a
    // general one.
    QDate date(int index, const QString& invalid = {}) const;
    // A code argument brought to its key width (left-padded with zeros) and written back, as
    // the client passes it by reference.
    QString code(int index, int width);
    void setArg(int index, const QVariant& value);
    // The arguments setArg wrote, in order: what goes back to the client by reference.
    QList<int> written() const;
    // An argument naming the operator: it must name the caller's, who is the one answered for.
    QString operatorCode(int index) const;

    framework::DataPacket select(const QString& sql, const QVariantList& values, const framework::FieldDefs& fields);
    QVariant value(const QString& sql, const QVariantList& values = {});
    void apply(const framework::DataPacket& log, const TableTarget& target);

private:
    const QVariant& arg(int index, ArgumentKind kind) const;
    [[noreturn]] void refuse(int index, ArgumentKind kind, const QString& what) const;

    QSqlDatabase& m_db;
    QVariantList& m_args;
    QString m_method;
    const Caller& m_caller;
    const GrantStore& m_grants;
    QList<int> m_written;
    QString m_logNote;
};

} // namespace appserver
