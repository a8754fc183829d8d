// Eight clients change, delete and insert the dishes of one group (recipes go with a deleted
// dish) through the HTTP daemon on PostgreSQL for a bounded time. Every update is applied or
// refused with its conflict message; afterwards, for every dish, the accepted updates chain from
// the dish as it was to the dish as it is, each one exactly once: nothing lost, nothing twice.
#include "appserver/httpserver.h"
#include "db/demodata.h"
#include "dishchanges.h"
#include "server/session.h"
#include "testdatabase.h"

#include <gtest/gtest.h>
#include <thread>

using testdb::Backend;

TEST(ConcurrencyPostgres, ClientsEditingOneGroupThroughTheDaemonLoseNothing)
{
    if (!testdb::available(Backend::Postgres))
        GTEST_SKIP() << "TEST_PG_CONN não definido";
    constexpr int Clients = 8;
    testdb::TestDatabase database(Backend::Postgres, true, 1);
    appserver::HttpServer daemon(database.target());
    daemon.setLogger([](const QString&) {});
    const int port = daemon.start("127.0.0.1", 0);
    ASSERT_GT(port, 0);
    // The supervisor may change the standard tree without asking anyone.
    ASSERT_EQ(server::Session::instance().login("127.0.0.1", port, db::DemoSupervisor, db::DemoSupervisorPassword), "");

    const QMap<QString, QString> initial = dishchanges::dishes(database.db());
    const qint64 milliseconds = qEnvironmentVariableIntValue("CONCURRENCY_SECONDS") > 0
                                    ? qEnvironmentVariableIntValue("CONCURRENCY_SECONDS") * 1000LL
                                    : 12000;
    dishchanges::Outcome outcome;
    std::vector<std::thread> threads;
    for (int id = 0; id < Clients; ++id)
        threads.emplace_back(dishchanges::client, id, port, milliseconds, std::ref(outcome));
    for (std::thread& t : threads)
        t.join();
    daemon.stop();
    dishchanges::expectEveryUpdateOnce(database.db(), initial, outcome, Clients);
}
