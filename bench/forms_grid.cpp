#include "forms_bench.h"

#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/forms/dbgrid.h"

#include <QApplication>
#include <QScrollBar>
#include <benchmark/benchmark.h>
#include <memory>

using namespace framework;

namespace {

constexpr int gridRows = 100000;

// An ingredient list of a hundred thousand rows, built once.
ClientDataSet& ingredients()
{
    static std::unique_ptr<ClientDataSet> ds = [] {
        DataPacket packet({{"CDARVPROD", FieldType::String, 20},
                           {"NMPRODUTO", FieldType::String, 50},
                           {"QTPRODPRAT", FieldType::Float},
                           {"SGUNIDADE", FieldType::String, 10},
                           {"VRPEFATCORPR", FieldType::Float},
                           {"IDQTDEFIXPR", FieldType::String, 1}});
        packet.rows.reserve(gridRows);
        for (int i = 0; i < gridRows; ++i) {
            const int r = packet.appendRow();
            packet.rows.setValue(r, 0, QString::number(100000000 + i));
            packet.rows.setValue(r, 1, QStringLiteral("Produto %1").arg(i));
            packet.rows.setValue(r, 2, i * 0.125);
            packet.rows.setValue(r, 3, QStringLiteral("KG"));
            packet.rows.setValue(r, 4, double(i % 100));
            packet.rows.setValue(r, 5, i % 2 ? QStringLiteral("S") : QStringLiteral("N"));
        }
        auto result = std::make_unique<ClientDataSet>(nullptr, QStringLiteral("cdsProdPrat"));
        result->SetData(packet);
        result->FieldByName("QTPRODPRAT")->setDisplayFormat(QStringLiteral("#,##0.00000"));
        result->FieldByName("VRPEFATCORPR")->setDisplayFormat(QStringLiteral("#,##0.00 %"));
        return result;
    }();
    return *ds;
}

void checkImages(TDBGrid& grid)
{
    grid.OnDrawColumnCell = [](TDBGrid&, TCellPaint& cell) {
        if (cell.field && cell.field->FieldName() == QLatin1String("IDQTDEFIXPR"))
            cell.check = TCellPaint::checkFor(cell.value(QStringLiteral("IDQTDEFIXPR")));
    };
}

// Opening: a grid is bound to the open dataset, shown and painted once.
void BM_GridOpen100k(benchmark::State& state)
{
    ClientDataSet& ds = ingredients();
    DataSource source(nullptr, QStringLiteral("dtsProdPrat"));
    source.setDataSet(&ds);
    std::uint64_t allocs = 0;
    for (auto _ : state) {
        const std::uint64_t before = allocationCount();
        TDBGrid grid(nullptr, QStringLiteral("dbgProdPrat"));
        checkImages(grid);
        grid.resize(900, 600);
        grid.setDataSource(&source);
        grid.show();
        grid.viewport()->repaint();
        QApplication::processEvents();
        allocs = allocationCount() - before;
        benchmark::DoNotOptimize(grid.model()->rowCount());
    }
    state.counters["rows"] = gridRows;
    state.counters["allocs"] = double(allocs);
    state.counters["allocs_per_row"] = double(allocs) / gridRows;
}
BENCHMARK(BM_GridOpen100k)->Unit(benchmark::kMillisecond);

// Scrolling: 100 jumps through the whole list, each painted, then 100 moves of the dataset's
// cursor that the grid follows.
void BM_GridScroll100k(benchmark::State& state)
{
    ClientDataSet& ds = ingredients();
    DataSource source(nullptr, QStringLiteral("dtsProdPrat"));
    source.setDataSet(&ds);
    TDBGrid grid(nullptr, QStringLiteral("dbgProdPrat"));
    checkImages(grid);
    grid.resize(900, 600);
    grid.setDataSource(&source);
    grid.show();
    QApplication::processEvents();
    constexpr int steps = 100;
    std::uint64_t allocs = 0;
    for (auto _ : state) {
        const std::uint64_t before = allocationCount();
        QScrollBar* bar = grid.verticalScrollBar();
        for (int i = 0; i < steps; ++i) {
            bar->setValue(bar->maximum() * i / (steps - 1));
            grid.viewport()->repaint();
        }
        for (int i = 0; i < steps; ++i) {
            ds.SetRecNo(1 + (i * 7919) % gridRows);
            grid.viewport()->repaint();
        }
        allocs = allocationCount() - before;
    }
    state.counters["pages_painted"] = 2 * steps;
    state.counters["allocs_per_page"] = double(allocs) / (2 * steps);
    state.counters["current_row"] = grid.currentIndex().row();
}
BENCHMARK(BM_GridScroll100k)->Unit(benchmark::kMillisecond);

} // namespace
