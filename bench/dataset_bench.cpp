// Dataset figures on 100,000 rows of 25 fields: load (from memory, from JSON through the JSON
// classes and through the wire reader), encoding, filter switch, indexed locate, sort, delta of
// 1,000 changed rows, and the memory the rows take.
#include "bench/benchsupport.h"
#include "framework/data/clientdataset.h"
#include "framework/data/wirejson.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <benchmark/benchmark.h>

using namespace framework;

namespace {

constexpr int rowCount = 100000;

// 10 texts, 10 floats, 3 integers, a flag and a date: the mix of a recipe list.
DataPacket makePacket()
{
    FieldDefs defs;
    for (int i = 0; i < 10; ++i)
        defs.append({QStringLiteral("TX%1").arg(i), FieldType::String, 40});
    for (int i = 0; i < 10; ++i)
        defs.append({QStringLiteral("QT%1").arg(i), FieldType::Float});
    for (int i = 0; i < 3; ++i)
        defs.append({QStringLiteral("NR%1").arg(i), FieldType::Integer});
    defs.append({QStringLiteral("IDATIVO"), FieldType::Boolean});
    defs.append({QStringLiteral("DTCAD"), FieldType::DateTime});
    DataPacket packet(defs);
    packet.rows.reserve(rowCount);
    const QDateTime base(QDate(2026, 1, 1), QTime(8, 0));
    for (int r = 0; r < rowCount; ++r) {
        const int row = packet.appendRow();
        packet.rows.setValue(row, 0, QStringLiteral("%1").arg(r, 10, 10, QLatin1Char('0')));
        for (int i = 1; i < 10; ++i)
            packet.rows.setValue(row, i, QStringLiteral("Produto %1 lote %2").arg(r % 997).arg(i));
        for (int i = 0; i < 10; ++i)
            packet.rows.setValue(row, 10 + i, (r % 1000) * 0.125 + i);
        for (int i = 0; i < 3; ++i)
            packet.rows.setValue(row, 20 + i, qint64(r * (i + 1)));
        packet.rows.setValue(row, 23, r % 3 != 0);
        packet.rows.setValue(row, 24, base.addSecs(r));
    }
    return packet;
}

const DataPacket& packet()
{
    static const DataPacket p = makePacket();
    return p;
}

void LoadFromPacket(benchmark::State& state)
{
    packet(); // built once, outside the timing
    for (auto _ : state) {
        ClientDataSet ds;
        ds.SetData(packet());
        ds.Edit(); // the first write detaches the rows from the packet: count that copy too
        ds.Fields()[1]->setAsString("x");
        ds.Post();
        benchmark::DoNotOptimize(ds.RecordCount());
    }
    ClientDataSet ds;
    ds.SetData(packet());
    ds.Edit();
    ds.Fields()[1]->setAsString("x");
    ds.Post();
    ds.MergeChangeLog();
    state.counters["MB"] = double(ds.Data().rows.bytesUsed()) / 1e6;
}
BENCHMARK(LoadFromPacket)->Unit(benchmark::kMillisecond);

void LoadFromJson(benchmark::State& state)
{
    const QByteArray wire = QJsonDocument(packet().toJson()).toJson(QJsonDocument::Compact);
    for (auto _ : state) {
        ClientDataSet ds;
        ds.SetData(DataPacket::fromJson(QJsonDocument::fromJson(wire).object()));
        benchmark::DoNotOptimize(ds.RecordCount());
    }
    state.counters["wireMB"] = double(wire.size()) / 1e6;
}
BENCHMARK(LoadFromJson)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same packet through the wire's own reader, as the HTTP transport decodes it.
void LoadFromWireJson(benchmark::State& state)
{
    const std::string wire = writeValueJson(QVariant::fromValue(packet()));
    for (auto _ : state) {
        ClientDataSet ds;
        ds.SetData(toPacket(readValueJson(wire)));
        benchmark::DoNotOptimize(ds.RecordCount());
    }
    state.counters["wireMB"] = double(wire.size()) / 1e6;
}
BENCHMARK(LoadFromWireJson)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void EncodeWithJsonClasses(benchmark::State& state)
{
    packet();
    for (auto _ : state)
        benchmark::DoNotOptimize(QJsonDocument(variantToJson(QVariant::fromValue(packet())).toObject())
                                     .toJson(QJsonDocument::Compact)
                                     .size());
}
BENCHMARK(EncodeWithJsonClasses)->Unit(benchmark::kMillisecond)->Iterations(3);

void EncodeWireJson(benchmark::State& state)
{
    packet();
    for (auto _ : state)
        benchmark::DoNotOptimize(writeValueJson(QVariant::fromValue(packet())).size());
}
BENCHMARK(EncodeWireJson)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void SwitchFilter(benchmark::State& state)
{
    ClientDataSet ds;
    ds.SetData(packet());
    int i = 0;
    for (auto _ : state) {
        ds.setFilter(i++ % 2 ? QStringLiteral("TX1 LIKE 'Produto 1%' and QT0 > 10") : QStringLiteral("NR0 < 50000"));
        ds.setFiltered(true);
        benchmark::DoNotOptimize(ds.RecordCount());
    }
}
BENCHMARK(SwitchFilter)->Unit(benchmark::kMillisecond);

void Sort(benchmark::State& state)
{
    ClientDataSet ds;
    ds.SetData(packet());
    int i = 0;
    for (auto _ : state) {
        ds.setIndexFieldNames(i++ % 2 ? QStringLiteral("TX1;QT0") : QStringLiteral("QT3;TX0"));
        benchmark::DoNotOptimize(ds.RecNo());
    }
}
BENCHMARK(Sort)->Unit(benchmark::kMillisecond);

void IndexedLocate(benchmark::State& state)
{
    ClientDataSet ds;
    ds.SetData(packet());
    ds.setIndexFieldNames(QStringLiteral("TX0"));
    int r = 0;
    for (auto _ : state) {
        r = (r + 7919) % rowCount;
        benchmark::DoNotOptimize(ds.Locate(QStringLiteral("TX0"), QStringLiteral("%1").arg(r, 10, 10, QLatin1Char('0'))));
    }
}
BENCHMARK(IndexedLocate)->Unit(benchmark::kMicrosecond);

void DeltaOfThousandChanges(benchmark::State& state)
{
    ClientDataSet ds;
    ds.SetData(packet());
    for (int i = 0; i < 1000; ++i) {
        ds.SetRecNo(i * 97 + 1);
        ds.Edit();
        ds.Fields()[10]->setAsFloat(i);
        ds.Post();
    }
    for (auto _ : state) {
        const DataPacket delta = ds.GetDelta();
        benchmark::DoNotOptimize(QJsonDocument(delta.toJson()).toJson(QJsonDocument::Compact).size());
    }
}
BENCHMARK(DeltaOfThousandChanges)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::run<QCoreApplication>(argc, argv);
}
