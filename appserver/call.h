#pragma once

#include "changelog.h"
#include "framework/data/datapacket.h"

#include <QSqlDatabase>
#include <QVariantList>

namespace appserver {

// One method call as a server object sees it: the arguments (passed by reference: what the
// method writes into them goes back to the client) and the database, inside the call's
// transaction.
class Call {
public:
    Call(QSqlDatabase& db, QVariantList& args, const QString& method) : m_db(db), m_args(args), m_method(method) {}

    QSqlDatabase& db() { return m_db; }
    const QString& method() const { return m_method; }
    QVariantList& args() { return m_args; }

    // Typed reads of an argument; a missing argument refuses the call.
    QString text(int index) const;
    qint64 integer(int index) const;
    bool flag(int index) const;                    // a boolean argument
    framework::DataPacket packet(int index) const; // a data packet or change log
    // A code argument brought to its key width (left-padded with zeros) and written back, as
    // the client passes it by reference.
    QString code(int index, int width);
    void setArg(int index, const QVariant& value);

    framework::DataPacket select(const QString& sql, const QVariantList& values, const framework::FieldDefs& fields);
    QVariant value(const QString& sql, const QVariantList& values = {});
    void apply(const framework::DataPacket& log, const TableTarget& target);

private:
    const QVariant& arg(int index) const;

    QSqlDatabase& m_db;
    QVariantList& m_args;
    QString m_method;
};

} // namespace appserver
