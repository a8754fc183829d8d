// Figures of the data path. Run: build-dir/bench/bench_integrity
// (BENCH_PG_CONN="host=... port=... user=... dbname=..." adds the PostgreSQL figures; a schema
// bench_integrity is created there and dropped at the end.)
//   Deleting one dish with recipes and dish data at every level, in a database of 50,000 dishes.
//   A change log of 1,000 modified dish rows applied, against the same UPDATEs run bare.

#include "bench/benchdatabase.h"
#include "bench/benchsupport.h"
#include "appserver/changelog.h"
#include "appserver/dispatcher.h"
#include "appserver/httpserver.h"
#include "server/httptransport.h"
#include "db/database.h"
#include "db/demodata.h"
#include "framework/abort.h"
#include "framework/data/clientdataset.h"
#include "framework/data/wirejson.h"
#include "server/session.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlRecord>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>

namespace {

using bench::exec;

constexpr const char* ReceitaPadrao = "Pla01300.rdmReceitaPadrao";
const char* const DependentTables[] = {"PRODPRAT",   "RECEFILI", "RECESERV",  "RECETPCARD", "DADOSPRAT",
                                       "PRATFILI",   "PRATSERV", "PRATTPCARD", "PREPPRAT",   "PREPFILI",
                                       "PREPSERV",   "FOTOPRAPAD", "FOTOPRAFIL", "FOTOPRASER", "PRATOCONTAINER"};

// One database of 50,000 dishes per family for the whole run.
struct Database {
    QString connection;
    std::unique_ptr<appserver::Dispatcher> dispatcher;
    bench::BenchDatabase place;
    const db::Target& target = place.target();

    explicit Database(bool pg)
        : connection(pg ? "bench-pg" : "bench-sqlite"), place(pg, QStringLiteral("bench_integrity"), connection)
    {
        QSqlDatabase database = db::openAndMigrate(target, connection);
        db::createDemoData(database, {50000});
        exec(database, "ANALYZE");
        const QString name = connection;
        dispatcher = std::make_unique<appserver::Dispatcher>([name] { return QSqlDatabase::database(name, false); });
    }

    QSqlDatabase db() const { return QSqlDatabase::database(connection, false); }

    QVariant call(const QString& method, QVariantList args) const
    {
        return dispatcher->call({db::DemoSupervisor, "bench"}, ReceitaPadrao, method, args);
    }

    // A dish-record change log applied as UpdPrato applies it, in one transaction, whatever its
    // size: empty on success, else why not.
    QVariant applyDishLog(const QVariant& log) const
    {
        static const appserver::TableTarget prato{
            "PRATO",
            {"CDFILAUXPRAT", "CDPRATO"},
            {"NMPRATO", "CDNVPRATO", "CDFILIAL", "SGUNIDADE", "VRARREDTRANS", "CDSEGMER", "NRFORMAPREPARO",
             "IDFREQUENCIA", "QTTEMPOPRAT", "VRVALIDADE", "IDATIVO", "CDPRODPRODUCAO"}};
        QSqlDatabase database = db();
        database.transaction();
        try {
            appserver::applyChangeLog(database, framework::toPacket(log), prato);
        } catch (const framework::Error& e) {
            database.rollback();
            return e.message();
        }
        database.commit();
        return QString();
    }

    // Released at the end of the run (see main).
};

// A copy of a demo dish that has rows at every level, under a new code of the same group.
void copyDish(QSqlDatabase db, const QString& code)
{
    QSqlQuery q(db);
    const QString from = "2010010001";
    const auto copy = [&](const QString& table) {
        const QSqlRecord record = db::tableColumns(db, table);
        QStringList columns, values;
        for (int c = 0; c < record.count(); ++c) {
            const QString name = record.fieldName(c).toUpper();
            columns << name;
            values << (name == "CDPRATO" ? QStringLiteral("'%1'").arg(code) : name);
        }
        exec(db, QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %1 WHERE CDFILAUXPRAT = 'P' AND CDPRATO = '%4'")
                     .arg(table, columns.join(", "), values.join(", "), from));
    };
    copy("PRATO");
    for (const char* table : DependentTables)
        copy(table);
}

void BM_DeleteDish_50000(benchmark::State& state, bool pg)
{
    Database* database = bench::Families<Database>::get(pg);
    if (!database) {
        state.SkipWithError("BENCH_PG_CONN não definido");
        return;
    }
    const QString code = "2010010999";
    for (auto _ : state) {
        state.PauseTiming();
        copyDish(database->db(), code);
        framework::ClientDataSet cds(nullptr, "cdsPrato");
        cds.SetData(framework::toPacket(database->call("GetPratoAux", {"0001"})));
        // GetPratoAux is the dish keys only; the delete is checked on them and CDNVPRATO.
        if (!cds.Locate("CDFILAUXPRAT;CDPRATO", {"P", code}))
            state.SkipWithError("prato não encontrado");
        cds.Delete();
        framework::DataPacket log = cds.GetDelta();
        state.ResumeTiming();
        const QString status = database->call("UpdPrato", {QVariant::fromValue(log)}).toString();
        if (!status.isEmpty())
            state.SkipWithError(status.toStdString().c_str());
    }
}
BENCHMARK_CAPTURE(BM_DeleteDish_50000, SQLite, false)->Unit(benchmark::kMillisecond)->Iterations(50)->UseRealTime();
BENCHMARK_CAPTURE(BM_DeleteDish_50000, PostgreSQL, true)->Unit(benchmark::kMillisecond)->Iterations(50)->UseRealTime();

// 1,000 dishes renamed: the change log applied as UpdPrato applies it (the form never sends so
// many, so UpdPrato itself refuses it), and the same UPDATE statements (key and every checked
// column in the WHERE) prepared once and run bare in one transaction.
QStringList thousandCodes(QSqlDatabase db)
{
    QSqlQuery q(db);
    q.exec("SELECT CDPRATO FROM PRATO WHERE CDFILAUXPRAT = 'P' AND CDNVPRATO = '4' ORDER BY CDPRATO LIMIT 1000");
    QStringList codes;
    while (q.next())
        codes << q.value(0).toString();
    return codes;
}

void BM_ApplyChangeLog_1000Dishes(benchmark::State& state, bool pg)
{
    Database* database = bench::Families<Database>::get(pg);
    if (!database) {
        state.SkipWithError("BENCH_PG_CONN não definido");
        return;
    }
    const QStringList codes = thousandCodes(database->db());
    framework::ClientDataSet cds(nullptr, "cdsPrato");
    cds.SetData(framework::toPacket(database->call("GetPrato", {"0001"})));
    cds.setIndexFieldNames("CDFILAUXPRAT;CDPRATO");
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++round;
        for (const QString& code : codes) {
            cds.Locate("CDFILAUXPRAT;CDPRATO", {"P", code});
            cds.Edit();
            cds.FieldByName("NMPRATO")->setValue(QStringLiteral("Prato %1 rodada %2").arg(code).arg(round));
            cds.Post();
        }
        bench::sendTimed(state, cds, [&](const QVariant& log) { return database->applyDishLog(log); });
    }
    state.counters["rows"] = codes.size();
}
BENCHMARK_CAPTURE(BM_ApplyChangeLog_1000Dishes, SQLite, false)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
BENCHMARK_CAPTURE(BM_ApplyChangeLog_1000Dishes, PostgreSQL, true)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

void BM_Bare_1000DishUpdates(benchmark::State& state, bool pg)
{
    Database* database = bench::Families<Database>::get(pg);
    if (!database) {
        state.SkipWithError("BENCH_PG_CONN não definido");
        return;
    }
    QSqlDatabase db = database->db();
    const QStringList codes = thousandCodes(db);
    const char* columns[] = {"NMPRATO", "CDNVPRATO", "CDFILIAL", "SGUNIDADE", "VRARREDTRANS", "CDSEGMER",
                             "NRFORMAPREPARO", "IDFREQUENCIA", "QTTEMPOPRAT", "VRVALIDADE", "IDATIVO",
                             "CDPRODPRODUCAO"};
    const QString same = pg ? " IS NOT DISTINCT FROM ?" : " IS ?";
    QStringList where{"CDFILAUXPRAT = ?", "CDPRATO = ?"};
    for (const char* c : columns)
        where << QString::fromLatin1(c) + same;
    const QString sql = "UPDATE PRATO SET NMPRATO = ? WHERE " + where.join(" AND ");
    const QString select = QStringLiteral("SELECT %1 FROM PRATO WHERE CDFILAUXPRAT = 'P' AND CDPRATO = ?")
                               .arg(QStringList({"NMPRATO", "CDNVPRATO", "CDFILIAL", "SGUNIDADE", "VRARREDTRANS",
                                                 "CDSEGMER", "NRFORMAPREPARO", "IDFREQUENCIA", "QTTEMPOPRAT",
                                                 "VRVALIDADE", "IDATIVO", "CDPRODPRODUCAO"})
                                        .join(", "));
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++round;
        // The originals, as the client would hold them.
        QList<QVariantList> originals;
        QSqlQuery read(db);
        read.prepare(select);
        for (const QString& code : codes) {
            read.bindValue(0, code);
            read.exec();
            read.next();
            QVariantList row;
            for (int c = 0; c < 12; ++c)
                row << read.value(c);
            originals << row;
        }
        state.ResumeTiming();
        db.transaction();
        QSqlQuery update(db);
        update.prepare(sql);
        for (int i = 0; i < codes.size(); ++i) {
            update.bindValue(0, QStringLiteral("Bare %1 rodada %2").arg(codes[i]).arg(round));
            update.bindValue(1, "P");
            update.bindValue(2, codes[i]);
            for (int c = 0; c < 12; ++c)
                update.bindValue(3 + c, originals[i][c]);
            if (!update.exec() || update.numRowsAffected() != 1)
                state.SkipWithError("update falhou");
        }
        db.commit();
    }
    state.counters["rows"] = codes.size();
}
BENCHMARK_CAPTURE(BM_Bare_1000DishUpdates, SQLite, false)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
BENCHMARK_CAPTURE(BM_Bare_1000DishUpdates, PostgreSQL, true)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

// GetPrato of the 50,000 dishes through the daemon (server, HTTP on loopback, client decoding)
// against the same SELECT fetched bare, every value read.
const char* const GetPratoSelect =
    "SELECT P.CDPRATO, P.NMPRATO, P.CDNVPRATO, P.CDFILAUXPRAT, P.CDFILIAL, P.SGUNIDADE, P.VRARREDTRANS, "
    "P.CDSEGMER, S.DSSEGMER, P.NRFORMAPREPARO, F.NMFORMAPREPARO, P.IDFREQUENCIA, P.QTTEMPOPRAT, "
    "P.VRVALIDADE, P.IDATIVO, P.CDPRODPRODUCAO, R.CDARVPROD, R.NMPRODUTO FROM PRATO P "
    "LEFT JOIN SEGMERCADO S ON S.CDSEGMER = P.CDSEGMER "
    "LEFT JOIN FORMAPREPARO F ON F.NRFORMAPREPARO = P.NRFORMAPREPARO "
    "LEFT JOIN PRODUTO R ON R.CDPRODUTO = P.CDPRODPRODUCAO "
    "WHERE P.CDFILAUXPRAT = 'P' OR P.CDFILAUXPRAT = ? ORDER BY P.CDPRATO, P.CDFILAUXPRAT";

// One daemon per family, over that family's database; released at the end of the run.
std::map<bool, std::unique_ptr<appserver::HttpServer>>& daemons()
{
    static std::map<bool, std::unique_ptr<appserver::HttpServer>> all;
    return all;
}

void BM_GetPrato_Daemon(benchmark::State& state, bool pg)
{
    Database* database = bench::Families<Database>::get(pg);
    if (!database) {
        state.SkipWithError("BENCH_PG_CONN não definido");
        return;
    }
    auto& daemon = daemons()[pg];
    if (!daemon) {
        daemon = std::make_unique<appserver::HttpServer>(database->target);
        daemon->setLogger([](const QString&) {});
        daemon->start("127.0.0.1", 0);
        server::Session::instance().login("127.0.0.1", daemon->port(), db::DemoOperator, db::DemoOperatorPassword);
    }
    server::HttpTransport transport;
    transport.open("127.0.0.1", daemon->port());
    int rows = 0;
    for (auto _ : state) {
        QVariantList args{"0001"};
        const QVariant result = transport.call(ReceitaPadrao, "GetPrato", args);
        if (!framework::isPacket(result)) {
            state.SkipWithError("GetPrato falhou");
            break;
        }
        rows = framework::toPacket(result).rowCount();
    }
    state.counters["rows"] = rows;
}
BENCHMARK_CAPTURE(BM_GetPrato_Daemon, SQLite, false)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK_CAPTURE(BM_GetPrato_Daemon, PostgreSQL, true)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_GetPrato_BareSelect(benchmark::State& state, bool pg)
{
    Database* database = bench::Families<Database>::get(pg);
    if (!database) {
        state.SkipWithError("BENCH_PG_CONN não definido");
        return;
    }
    QSqlDatabase db = database->db();
    int rows = 0;
    for (auto _ : state) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.prepare(GetPratoSelect);
        q.addBindValue("0001");
        q.exec();
        rows = 0;
        while (q.next()) {
            for (int c = 0; c < 18; ++c)
                benchmark::DoNotOptimize(q.value(c));
            ++rows;
        }
    }
    state.counters["rows"] = rows;
}
BENCHMARK_CAPTURE(BM_GetPrato_BareSelect, SQLite, false)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK_CAPTURE(BM_GetPrato_BareSelect, PostgreSQL, true)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// Where GetPrato's time goes: the server's select into a packet, the packet written as the
// daemon's JSON answer, and that answer read back by the client.
void BM_GetPrato_Parts(benchmark::State& state, bool pg, int part)
{
    Database* database = bench::Families<Database>::get(pg);
    if (!database) {
        state.SkipWithError("BENCH_PG_CONN não definido");
        return;
    }
    const QVariant packet = database->call("GetPrato", {"0001"});
    const QByteArray wire = QJsonDocument(QJsonObject{{"result", framework::variantToJson(packet)}}).toJson(QJsonDocument::Compact);
    for (auto _ : state) {
        switch (part) {
        case 0: benchmark::DoNotOptimize(database->call("GetPrato", {"0001"})); break;
        case 1: benchmark::DoNotOptimize(framework::writeValueJson(packet)); break;
        default:
            benchmark::DoNotOptimize(framework::variantFromJson(QJsonDocument::fromJson(wire).object().value("result")));
            break;
        }
    }
    state.counters["bytes"] = double(wire.size());
}
BENCHMARK_CAPTURE(BM_GetPrato_Parts, SQLite_Select, false, 0)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_GetPrato_Parts, PostgreSQL_Select, true, 0)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_GetPrato_Parts, Encode, false, 1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_GetPrato_Parts, Decode, false, 2)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    return bench::run<QCoreApplication>(argc, argv, [] {
        daemons().clear();
        bench::Families<Database>::release();
    });
}
