// Every method of every registered server object, called with hostile texts in each of its text
// arguments, on a database holding a canary value in a table no method reads: no answer, refusal
// or argument sent back carries the canary or an operator's password hash, no call writes to the
// database (nor does the whole run change it; passwords tried are counted, nothing else), and
// every call ends in an answer or a refusal, never in a database or internal error.
//
// The registry says nothing of the methods' arguments: they are learnt from the calls' own
// refusals of a missing or mistyped argument (appserver::ArgumentRefusal), so that objects and
// methods registered later are covered as they come. The other text arguments take, in turn,
// the values that steer methods into their branches (level letters, recipe kinds, a branch).
#include "appserver/call.h"
#include "appserver/grantstore.h"
#include "appserver/registry.h"
#include "framework/data/datapacket.h"
#include "framework/data/wirejson.h"
#include "db/demodata.h"
#include "testdatabase.h"

#include <QCryptographicHash>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

using appserver::ArgumentKind;
using testdb::Backend;

namespace {

const QString canario = QStringLiteral("7d1e-canario-a94f");

// Texts that change any statement they are pasted into: a lone quote breaks it, quoted or not; a
// sub-select concatenated into a quoted constant reads the canary; a second statement after the
// constant, with the rest commented out, deletes it.
const QStringList hostis{
    QStringLiteral("'"),
    QStringLiteral("' || (SELECT TXCANARIO FROM CANARIO) || '"),
    QStringLiteral("x'; DELETE FROM CANARIO; --"),
};

// The values of the other text arguments, one set at a time: nothing, the recipe levels and
// kinds, a branch.
const QStringList comuns{QStringLiteral("x"),  QStringLiteral("P"),  QStringLiteral("F"),  QStringLiteral("S"),
                         QStringLiteral("T"),  QStringLiteral("RP"), QStringLiteral("RL"), QStringLiteral("RS"),
                         QStringLiteral("RT"), QStringLiteral("0002")};

struct Fim {
    enum Tipo { Resposta, Recusa, Falha, Escrita };
    Tipo tipo = Resposta;
    QString texto;      // the refusal or failure
    QVariant resposta;  // the answer
    int argumento = -1; // an ArgumentRefusal's argument
    ArgumentKind esperado = ArgumentKind::Text;

    static Fim de(const QVariant& answer) { return {Resposta, {}, answer, -1, ArgumentKind::Text}; }
    static Fim recusa(const QString& text) { return {Recusa, text, {}, -1, ArgumentKind::Text}; }
    static Fim falha(const QString& text) { return {Falha, text, {}, -1, ArgumentKind::Text}; }
    static Fim escrita(const QVariant& answer) { return {Escrita, QStringLiteral("gravou no banco de dados"), answer, -1, ArgumentKind::Text}; }
    static Fim argumentoRecusado(const appserver::ArgumentRefusal& e)
    {
        return {Recusa, e.message(), {}, e.index(), e.expected()};
    }
};

QVariant simples(ArgumentKind kind, const QString& comum)
{
    switch (kind) {
    case ArgumentKind::Text: return comum;
    case ArgumentKind::Integer: return qint64(1);
    case ArgumentKind::Number: return 1.0;
    case ArgumentKind::Flag: return false;
    case ArgumentKind::Date: return QDate(2026, 7, 15);
    case ArgumentKind::Packet: return QVariant::fromValue(framework::DataPacket());
    }
    return {};
}

class EntradaHostilTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (!testdb::available(GetParam()))
            GTEST_SKIP() << "TEST_PG_CONN não definido";
        database = std::make_unique<testdb::TestDatabase>(GetParam(), true, 1);
        QSqlDatabase db = database->db();
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("CREATE TABLE CANARIO (TXCANARIO VARCHAR(40) NOT NULL)"));
        ASSERT_TRUE(q.prepare("INSERT INTO CANARIO (TXCANARIO) VALUES (?)"));
        q.addBindValue(canario);
        ASSERT_TRUE(q.exec());
        segredos << canario;
        ASSERT_TRUE(q.exec("SELECT DSHASHSENHA FROM USUARIO"));
        while (q.next())
            segredos << q.value(0).toString();
        ASSERT_GT(segredos.size(), 1);
    }

    // Rows the connection changed so far (SQLite), or whether the open transaction wrote
    // (PostgreSQL, which gives a transaction its id on its first write).
    qint64 escritas(QSqlDatabase& db) const
    {
        QSqlQuery q(db);
        q.exec(GetParam() == Backend::Postgres ? "SELECT CASE WHEN pg_current_xact_id_if_assigned() IS NULL THEN 0 ELSE 1 END"
                                                : "SELECT total_changes()");
        return q.next() ? q.value(0).toLongLong() : -1;
    }

    QString concessoes(QSqlDatabase& db) const
    {
        QSqlQuery q(db);
        q.exec("SELECT COUNT(*) FROM AUTORIZACAOSESSAO");
        return q.next() ? q.value(0).toString() : QString();
    }

    // A supervisor calls: what an operator may do is the dispatcher's concern, not this test's.
    const appserver::Caller caller{QString::fromLatin1(db::DemoSupervisor), QStringLiteral("hostil")};
    const appserver::GrantStore grants{std::chrono::minutes(10)};

    // One call in its own transaction, as the dispatcher runs it, telling a refusal from a failure
    // and a call that wrote from one that did not.
    Fim chama(const appserver::ServerObject::Method& method, QVariantList& args)
    {
        QSqlDatabase db = database->db();
        const qint64 before = GetParam() == Backend::Postgres ? 0 : escritas(db);
        // A password tried is counted (TENTATIVASENHA) whatever it is: such a call may write that,
        // never a grant (the whole run's comparison sees anything else).
        const bool triesPasswords = method.name == u"Autoriza";
        const QString grantsBefore = triesPasswords ? concessoes(db) : QString();
        if (!db.transaction())
            return Fim::falha(QStringLiteral("sem transação"));
        try {
            appserver::Call call(db, args, method.name, caller, grants);
            const QVariant answer = method.run(call);
            const bool wrote = triesPasswords ? concessoes(db) != grantsBefore : escritas(db) != before;
            if (!db.commit())
                return Fim::falha(QStringLiteral("commit falhou"));
            return wrote ? Fim::escrita(answer) : Fim::de(answer);
        } catch (const appserver::ArgumentRefusal& e) {
            db.rollback();
            return Fim::argumentoRecusado(e);
        } catch (const appserver::Refusal& e) {
            db.rollback();
            return Fim::recusa(e.message());
        } catch (const std::exception& e) {
            db.rollback();
            return Fim::falha(QString::fromUtf8(e.what()));
        }
    }

    // Calls with args, giving the method what its refusals ask for: a missing argument is added,
    // a mistyped one becomes a plain value of the kind it is read as. The argument at `fixo` is
    // never replaced. Ends with the first call that gets past its arguments.
    Fim completa(const appserver::ServerObject::Method& method, QVariantList& args, QVector<ArgumentKind>& kinds,
                 const QString& comum, int fixo = -1)
    {
        for (int attempt = 0; attempt < 64; ++attempt) {
            QVariantList sent = args;
            Fim fim = chama(method, sent);
            const int i = fim.argumento;
            if (i < 0 || i == fixo || (i < kinds.size() && kinds[i] == fim.esperado)) {
                args = sent;
                return fim;
            }
            while (args.size() <= i) {
                args << comum;
                kinds << ArgumentKind::Text;
            }
            args[i] = simples(fim.esperado, comum);
            kinds[i] = fim.esperado;
        }
        return Fim::falha(QStringLiteral("argumentos sem fim"));
    }

    // Every row of every table of the test database, as one hash.
    QByteArray conteudo() const
    {
        QSqlDatabase db = database->db();
        QStringList tables = db.tables();
        tables.sort(Qt::CaseInsensitive);
        const QString own = database->target().schema + u'.';
        QCryptographicHash hash(QCryptographicHash::Sha256);
        for (const QString& table : tables) {
            if (GetParam() == Backend::Postgres && !table.startsWith(own, Qt::CaseInsensitive))
                continue;
            if (table.endsWith(QLatin1String("TENTATIVASENHA"), Qt::CaseInsensitive))
                continue; // the count of passwords tried

            QSqlQuery q(db);
            EXPECT_TRUE(q.exec("SELECT * FROM " + table)) << table.toStdString();
            QStringList rows;
            while (q.next()) {
                QStringList cells;
                for (int c = 0; c < q.record().count(); ++c)
                    cells << (q.isNull(c) ? QStringLiteral("<null>") : q.value(c).toString());
                rows << cells.join(QChar(0));
            }
            rows.sort();
            hash.addData(table.toUpper().toUtf8());
            hash.addData(rows.join(QChar(1)).toUtf8());
        }
        return hash.result();
    }

    // The secret a text holds, or empty.
    QString vazado(const QString& text) const
    {
        for (const QString& secret : segredos)
            if (text.contains(secret))
                return secret;
        return {};
    }

    static QString json(const QVariant& value)
    {
        try {
            return QString::fromStdString(framework::writeValueJson(value));
        } catch (const framework::Error& e) {
            return e.message();
        }
    }

    std::unique_ptr<testdb::TestDatabase> database;
    QStringList segredos; // the canary and the password hashes
};

} // namespace

TEST_P(EntradaHostilTest, NoTextArgumentOfAnyMethodBecomesSql)
{
    const auto& registry = appserver::Registry::instance();
    const QByteArray before = conteudo();
    int calls = 0;
    for (const QString& objectName : registry.objectNames()) {
        const appserver::ServerObject* object = registry.find(objectName);
        for (const QString& methodName : object->methodNames()) {
            const appserver::ServerObject::Method& method = *object->method(methodName);
            const QString where = objectName + u'.' + methodName;
            for (const QString& comum : comuns) {
                QVariantList base;
                QVector<ArgumentKind> kinds;
                const Fim plain = completa(method, base, kinds, comum);
                EXPECT_TRUE(plain.tipo == Fim::Resposta || plain.tipo == Fim::Recusa)
                    << where.toStdString() << ", argumentos = " << comum.toStdString() << ": " << plain.texto.toStdString();
                for (int i = 0; i < base.size(); ++i) {
                    if (kinds[i] != ArgumentKind::Text)
                        continue;
                    for (const QString& hostil : hostis) {
                        QVariantList args = base;
                        QVector<ArgumentKind> argKinds = kinds;
                        args[i] = hostil;
                        const Fim fim = completa(method, args, argKinds, comum, i);
                        ++calls;
                        const QString call = QStringLiteral("%1, argumento %2 = %3, demais = %4")
                                                 .arg(where).arg(i + 1).arg(hostil, comum);
                        EXPECT_TRUE(fim.tipo == Fim::Resposta || fim.tipo == Fim::Recusa)
                            << call.toStdString() << ": " << fim.texto.toStdString();
                        const QString leaked = vazado(json(fim.resposta) + fim.texto + json(args));
                        EXPECT_TRUE(leaked.isEmpty()) << call.toStdString() << " devolveu " << leaked.toStdString();
                    }
                }
            }
        }
    }
    EXPECT_GT(calls, 1000);
    EXPECT_EQ(conteudo(), before);
}

INSTANTIATE_TEST_SUITE_P(Backends, EntradaHostilTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return testdb::backendName(info.param); });
