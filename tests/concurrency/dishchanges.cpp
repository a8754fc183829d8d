#include "dishchanges.h"

#include "appserver/changelog.h"
#include "framework/data/clientdataset.h"
#include "server/connection.h"

#include <QElapsedTimer>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlQuery>
#include <gtest/gtest.h>
#include <thread>

namespace dishchanges {

namespace {

using framework::ClientDataSet;

// A dish of the pool as one text: its name, or Absent.
const QString Absent = QStringLiteral("<ausente>");

QStringList pool()
{
    QStringList codes;
    for (int i = 1; i <= 12; ++i)
        codes << QStringLiteral("20100100%1").arg(i, 2, 10, QLatin1Char('0'));
    return codes;
}

QString stateOf(ClientDataSet& cds, const QString& code)
{
    return cds.Locate("CDFILAUXPRAT;CDPRATO", {"P", code}) ? cds.FieldByName("NMPRATO")->AsString() : Absent;
}

// The accepted updates of one dish must form one trail through its states from the first to
// the last, each taken once: every state but the ends is left as often as it is reached, and
// every update is reachable from the first state.
QString checkTrail(const QString& first, const QString& last, const QList<Update>& updates)
{
    QHash<QString, int> balance; // leaving minus reaching
    QMultiHash<QString, QString> next;
    for (const Update& u : updates) {
        ++balance[u.before];
        --balance[u.after];
        next.insert(u.before, u.after);
    }
    if (first != last) {
        --balance[first];
        ++balance[last];
    }
    for (auto it = balance.cbegin(); it != balance.cend(); ++it)
        if (it.value() != 0)
            return QStringLiteral("o estado \"%1\" não fecha (%2)").arg(it.key()).arg(it.value());
    QSet<QString> seen{first};
    QStringList open{first};
    while (!open.isEmpty()) {
        const QString state = open.takeLast();
        for (const QString& to : next.values(state))
            if (!seen.contains(to)) {
                seen.insert(to);
                open << to;
            }
    }
    for (const Update& u : updates)
        if (!seen.contains(u.before))
            return QStringLiteral("a alteração de \"%1\" para \"%2\" não segue das outras").arg(u.before, u.after);
    return {};
}

} // namespace

void client(int id, int port, qint64 milliseconds, Outcome& outcome)
{
    server::Connection net(nullptr, "netReceitaPadrao", "Pla01300.rdmReceitaPadrao");
    net.setHost("127.0.0.1");
    net.setPort(port);
    if (!net.Connect()) {
        std::lock_guard guard(outcome.lock);
        outcome.failures << QStringLiteral("cliente %1 não conectou").arg(id);
        return;
    }
    QRandomGenerator random(quint32(1000 + id));
    const QStringList codes = pool();
    QElapsedTimer clock;
    clock.start();
    for (int n = 0; clock.elapsed() < milliseconds; ++n) {
        ClientDataSet cds(nullptr, "cdsPrato");
        const QVariant packet = net.call("GetPrato", {"0002"});
        if (!framework::isPacket(packet)) {
            std::lock_guard guard(outcome.lock);
            outcome.failures << QStringLiteral("GetPrato: %1").arg(packet.value<framework::ServerFault>().message);
            return;
        }
        cds.SetData(framework::toPacket(packet));
        const QString code = codes[int(random.bounded(codes.size()))];
        const QString before = stateOf(cds, code);
        const QString name = QStringLiteral("c%1 n%2").arg(id).arg(n);
        QString after = name;
        if (before == Absent) {
            cds.Append();
            cds.FieldByName("CDFILAUXPRAT")->setValue("P");
            cds.FieldByName("CDPRATO")->setValue(code);
            cds.FieldByName("CDNVPRATO")->setValue("4");
            cds.FieldByName("NMPRATO")->setValue(name);
            cds.FieldByName("IDATIVO")->setValue("S");
            cds.Post();
        } else if (random.bounded(4) == 0) {
            cds.Delete();
            after = Absent;
        } else {
            cds.Edit();
            cds.FieldByName("NMPRATO")->setValue(name);
            cds.Post();
        }
        // Others get their turn between reading and sending, as users take theirs.
        std::this_thread::sleep_for(std::chrono::milliseconds(random.bounded(15)));
        const QString status = net.call("UpdPrato", {QVariant::fromValue(cds.GetDelta())}).toString();

        std::lock_guard guard(outcome.lock);
        if (status.isEmpty())
            outcome.accepted.append({code, before, after});
        else if (status == appserver::conflictText("PRATO") || status == appserver::duplicateText("PRATO"))
            ++outcome.refused;
        else
            outcome.failures << status;
    }
}

QMap<QString, QString> dishes(QSqlDatabase db)
{
    QMap<QString, QString> states;
    for (const QString& code : pool())
        states[code] = Absent;
    QSqlQuery q(db);
    q.exec("SELECT CDPRATO, NMPRATO FROM PRATO WHERE CDFILAUXPRAT = 'P' AND CDPRATO LIKE '20100100%'");
    while (q.next())
        if (states.contains(q.value(0).toString()))
            states[q.value(0).toString()] = q.value(1).toString();
    return states;
}

void expectEveryUpdateOnce(QSqlDatabase db, const QMap<QString, QString>& initial, Outcome& outcome, int clients)
{
    ::testing::Test::RecordProperty("accepted", int(outcome.accepted.size()));
    ::testing::Test::RecordProperty("refused", outcome.refused);
    EXPECT_TRUE(outcome.failures.isEmpty()) << outcome.failures.join("\n").toStdString();
    EXPECT_GT(outcome.accepted.size(), clients);
    EXPECT_GT(outcome.refused, 0); // the run did meet conflicts

    const QMap<QString, QString> final = dishes(db);
    for (const QString& code : pool()) {
        QList<Update> mine;
        for (const Update& u : std::as_const(outcome.accepted))
            if (u.code == code)
                mine << u;
        EXPECT_EQ(checkTrail(initial[code], final[code], mine), QString()) << code.toStdString();
    }
    // Recipes and dish data went with their dishes.
    QSqlQuery orphans(db);
    ASSERT_TRUE(orphans.exec("SELECT COUNT(*) FROM PRODPRAT R WHERE NOT EXISTS "
                             "(SELECT 1 FROM PRATO P WHERE P.CDFILAUXPRAT = R.CDFILAUXPRAT AND P.CDPRATO = R.CDPRATO)"));
    ASSERT_TRUE(orphans.next());
    EXPECT_EQ(orphans.value(0).toInt(), 0);
}

} // namespace dishchanges
