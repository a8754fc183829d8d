#pragma once

#include "framework/data/clientdataset.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

class QSqlDatabase;
class QSqlQuery;

namespace framework {

// A direct SQL query of a form (qryUnidade, ...). It holds one general text and optionally a
// text per database family, chosen by the connection's driver when it runs. Values reach the
// database only as bound parameters (":P_X" in the text); a typed code never becomes SQL text.
//
// A query is a dataset: Open runs the statement and loads the rows, so FieldByName, Eof, Next,
// Locate, data sources, grids and the search dialogs work on it as on any dataset. Fields
// declared before Open (labels, widths, visibility) are kept, as for a client dataset.
// Open and Close hide the dataset's own: call them on the Query, not through a ClientDataSet*.
class Query : public ClientDataSet {
    Q_OBJECT
public:
    enum class Family { General, SQLite, PostgreSQL };

    // One bound parameter.
    class Param {
    public:
        const QString& Name() const { return m_name; }
        const QVariant& Value() const { return m_value; }
        void setValue(const QVariant& value) { m_value = value; }
        void setAsString(const QString& text) { m_value = text; }
        QString AsString() const { return m_value.toString(); }
        void Clear() { m_value = QVariant(); }
        bool IsNull() const { return m_value.isNull(); }

    private:
        friend class Query;
        explicit Param(const QString& name) : m_name(name) {}
        QString m_name;
        QVariant m_value;
    };

    explicit Query(QObject* parent = nullptr, const QString& name = {});
    ~Query() override;

    // The general text; with a family, that family's own text (empty: it uses the general one).
    void setSQL(const QString& sql) { setSQL(Family::General, sql); }
    void setSQL(Family family, const QString& sql);
    QString SQL(Family family = Family::General) const { return m_sql.value(family); }
    QString sqlFor(Family family) const; // the text that runs on that family

    // QSqlDatabase connection name; empty (the default) uses the host's database connection.
    void setConnectionName(const QString& name) { m_connectionName = name; }
    QString connectionName() const;
    static Family familyOf(const QSqlDatabase& db);

    // Parameters are the ":NAME" placeholders of the texts (letter case ignored). Values stay
    // set across Close and Open.
    QStringList ParamNames() const;
    Param* ParamByName(const QString& name); // throws framework::Error when absent
    void setParam(const QString& name, const QVariant& value) { ParamByName(name)->setValue(value); }

    // Runs the statement and loads its rows (throws framework::Error when it fails).
    void Open();
    void Close() { ClientDataSet::Close(); }
    void Refresh(); // Close and Open
    // Runs a statement that returns no rows; gives the number of rows affected.
    int ExecSQL();

private:
    void collectParams();
    Param* findParam(const QString& name) const; // nullptr when absent
    QSqlQuery prepare(const QSqlDatabase& db) const;

    QHash<Family, QString> m_sql;
    QString m_connectionName;
    std::vector<std::unique_ptr<Param>> m_params;
};

// The rows of an executed query as a data packet (field types from the result's columns).
// The application server builds its packets with it too.
DataPacket packetFromQuery(QSqlQuery& query);

// Turns ":NAME" placeholders into positional '?' marks, outside quoted texts, quoted names,
// comments and "::" casts; names lists each placeholder in order (a name may repeat).
QString positionalSql(const QString& sql, QStringList* names);

} // namespace framework
