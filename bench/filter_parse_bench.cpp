#include "framework/data/filterexpression.h"

#include <benchmark/benchmark.h>
#include <vector>

using framework::FilterExpression;

namespace {

constexpr int rowCount = 100000;

// The rows as a dataset hands them to a filter: a text, a float and an integer column.
const std::vector<QVariantList>& rows()
{
    static const std::vector<QVariantList> data = [] {
        std::vector<QVariantList> list;
        list.reserve(rowCount);
        for (int i = 0; i < rowCount; ++i)
            list.push_back({QStringLiteral("Produto %1").arg(i), double(i % 100), i});
        return list;
    }();
    return data;
}

int column(const QString& name)
{
    static const QStringList names{"TX1", "QT0", "NR0"};
    return int(names.indexOf(name));
}

// Parse, bind and evaluate every row, as a dataset does when its filter changes.
void FilterAllRows(benchmark::State& state, const char* filter)
{
    const auto& data = rows();
    for (auto _ : state) {
        FilterExpression expression = FilterExpression::parse(QString::fromLatin1(filter));
        expression.bind(column);
        int matched = 0;
        for (const QVariantList& row : data)
            matched += expression.evaluate([&row](int c) { return row.at(c); });
        benchmark::DoNotOptimize(matched);
    }
}

} // namespace

BENCHMARK_CAPTURE(FilterAllRows, like_and_number, "TX1 LIKE 'Produto 1%' and QT0 > 10")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FilterAllRows, integer, "NR0 < 50000")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FilterAllRows, text_equal, "TX1 = 'Produto 99999' or TX1 = 'x'")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
