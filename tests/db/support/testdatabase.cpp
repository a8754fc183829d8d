#include "testdatabase.h"

#include "db/demodata.h"
#include "db/migrations.h"

#include <QRandomGenerator>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <stdexcept>

namespace testdb {

namespace {

int counter = 0;

void execOrThrow(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw std::runtime_error(("test database: " + sql).toStdString());
}

} // namespace

std::string backendName(Backend backend)
{
    return backend == Backend::Sqlite ? "Sqlite" : "Postgres";
}

bool available(Backend backend)
{
    return backend == Backend::Sqlite || !qEnvironmentVariableIsEmpty("TEST_PG_CONN");
}

TestDatabase::TestDatabase(Backend backend, bool demoData, int dishes)
    : m_backend(backend), m_connection(QStringLiteral("testdb-%1").arg(++counter))
{
    if (backend == Backend::Sqlite) {
        m_dir = std::make_unique<QTemporaryDir>();
        m_target.path = m_dir->filePath("teste.db");
    } else {
        m_target = db::Target::parse(qEnvironmentVariable("TEST_PG_CONN"));
        m_target.schema = QStringLiteral("teste_%1").arg(QRandomGenerator::global()->generate64(), 0, 16);
        db::Target plain = m_target;
        plain.schema.clear();
        QSqlDatabase admin = db::open(plain, m_connection + "-admin");
        execOrThrow(admin, "CREATE SCHEMA " + m_target.schema);
        admin.close();
        admin = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection + "-admin");
    }
    try {
        QSqlDatabase db = db::openAndMigrate(m_target, m_connection);
        if (demoData) {
            db::DemoOptions options;
            if (dishes > 0)
                options.dishes = dishes;
            db::createDemoData(db, options);
        }
    } catch (...) {
        dropSchema();
        throw;
    }
}

void TestDatabase::dropSchema()
{
    if (m_backend != Backend::Postgres)
        return;
    QSqlDatabase database = db();
    if (database.isOpen()) {
        QSqlQuery q(database);
        q.exec("DROP SCHEMA " + m_target.schema + " CASCADE");
    }
}

TestDatabase::~TestDatabase()
{
    dropSchema();
    db().close();
    QSqlDatabase::removeDatabase(m_connection);
}

QSqlDatabase TestDatabase::open(const QString& connectionName) const
{
    return db::open(m_target, connectionName);
}

QString TestDatabase::fingerprint() const
{
    QSqlDatabase database = db();
    QStringList parts;
    QStringList tables = database.tables();
    tables.sort(Qt::CaseInsensitive);
    // PostgreSQL lists the tables of every schema: other tests' schemas come and go meanwhile.
    const QString own = m_target.schema + u'.';
    // What the application servers keep of their sessions is no data of the users.
    static const QStringList sessionTables{"SESSAOSERVIDOR", "REQUISICAOSERVIDOR", "TENTATIVASENHA", "AUTORIZACAOSESSAO"};
    for (const QString& table : tables) {
        if (m_backend == Backend::Postgres && !table.startsWith(own, Qt::CaseInsensitive))
            continue;
        if (sessionTables.contains(table.section(u'.', -1).toUpper()))
            continue;
        QSqlQuery q(database);
        q.exec("SELECT COUNT(*) FROM " + table);
        q.next();
        parts << table.toUpper() + '=' + q.value(0).toString();
    }
    for (const char* table : {"PARAMGERAL", "PARAMPLANEJA", "FILIAL", "USUARIO"}) {
        QSqlQuery q(database);
        q.exec(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(table));
        while (q.next())
            for (int c = 0; c < q.record().count(); ++c)
                parts << q.value(c).toString();
    }
    return parts.join('|');
}

} // namespace testdb
