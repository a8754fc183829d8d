#include "framework/data/clientdataset.h"
#include "framework/data/datasource.h"
#include "framework/forms/dbtree.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <memory>

using namespace framework;

namespace {

// About 50,000 dishes under the picture "9.99.999.9999": 9 groups of 20 sub-groups of 10
// families, the rest dishes spread over the families.
ClientDataSet& dishes()
{
    static std::unique_ptr<ClientDataSet> ds = [] {
        DataPacket packet({{"CDPRATO", FieldType::String, 10},
                           {"NMPRATO", FieldType::String, 40},
                           {"CDFILAUXPRAT", FieldType::String, 4}});
        const auto add = [&packet](const QString& code) {
            const int r = packet.appendRow();
            packet.rows.setValue(r, 0, code);
            packet.rows.setValue(r, 1, QStringLiteral("Prato ") + code);
            packet.rows.setValue(r, 2, code.size() == 10 && code.endsWith(QLatin1Char('7')) ? QStringLiteral("0001")
                                                                                           : QStringLiteral("P"));
        };
        for (int g = 1; g <= 9; ++g) {
            const QString group = QString::number(g);
            add(group);
            for (int s = 1; s <= 20; ++s) {
                const QString sub = group + QStringLiteral("%1").arg(s, 2, 10, QLatin1Char('0'));
                add(sub);
                for (int f = 1; f <= 10; ++f) {
                    const QString family = sub + QStringLiteral("%1").arg(f, 3, 10, QLatin1Char('0'));
                    add(family);
                    for (int d = 1; d <= 27; ++d)
                        add(family + QStringLiteral("%1").arg(d, 4, 10, QLatin1Char('0')));
                }
            }
        }
        auto result = std::make_unique<ClientDataSet>(nullptr, QStringLiteral("cdsPrato"));
        result->SetData(packet);
        return result;
    }();
    return *ds;
}

// Building: the tree is bound to the open dataset (every node placed), shown and painted.
void BM_TreeBuild50k(benchmark::State& state)
{
    ClientDataSet& ds = dishes();
    DataSource source(nullptr, QStringLiteral("dtsPrato"));
    source.setDataSet(&ds);
    ds.SetRecNo(ds.RecordCount() / 2);
    int nodes = 0;
    for (auto _ : state) {
        TDBTree tree(nullptr, QStringLiteral("dbaPadrao"));
        tree.setFieldCode(QStringLiteral("CDPRATO"));
        tree.setFieldName(QStringLiteral("NMPRATO"));
        tree.setFieldAux(QStringLiteral("CDFILAUXPRAT"));
        tree.setPicture(TDBPicture(QStringLiteral("9.99.999.9999")));
        tree.OnGetImageIndex = [](TDBTree&, const TTreeNode& node) {
            return node.lastLevel && node.aux != QLatin1String("P") ? 1 : -1;
        };
        tree.resize(300, 600);
        tree.setDataSource(&source);
        tree.show();
        tree.viewport()->repaint();
        QApplication::processEvents();
        nodes = tree.NodeCount();
    }
    state.counters["nodes"] = nodes;
}
BENCHMARK(BM_TreeBuild50k)->Unit(benchmark::kMillisecond);

// Rebuilding after a post (a dish renamed): what the user waits for on Confirmar.
void BM_TreeRebuildAfterPost50k(benchmark::State& state)
{
    ClientDataSet& ds = dishes();
    DataSource source(nullptr, QStringLiteral("dtsPrato"));
    source.setDataSet(&ds);
    TDBTree tree(nullptr, QStringLiteral("dbaPadrao"));
    tree.setFieldCode(QStringLiteral("CDPRATO"));
    tree.setFieldName(QStringLiteral("NMPRATO"));
    tree.setPicture(TDBPicture(QStringLiteral("9.99.999.9999")));
    tree.setDataSource(&source);
    tree.show();
    int i = 0;
    for (auto _ : state) {
        ds.Edit();
        ds.FieldByName(QStringLiteral("NMPRATO"))->setAsString(QStringLiteral("Renomeado %1").arg(++i));
        ds.Post();
        tree.viewport()->repaint();
    }
    ds.CancelUpdates();
}
BENCHMARK(BM_TreeRebuildAfterPost50k)->Unit(benchmark::kMillisecond);

} // namespace
