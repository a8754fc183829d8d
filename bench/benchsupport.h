#pragma once

#include "framework/data/clientdataset.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <benchmark/benchmark.h>
#include <functional>

// What the benchmarks share: their main() and the timing of a change log's trip to the server.
namespace bench {

// Runs the benchmarks under a Qt application of the kind they need (QCoreApplication, or a GUI
// one for fonts and painting), offscreen unless a platform is chosen. atEnd runs after them while
// the application and Qt's connections still live: fixtures that hold databases release them there,
// not in static destructors that run after Qt's own.
template <class Application>
int run(int argc, char** argv, const std::function<void()>& atEnd = {})
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    if (atEnd)
        atEnd();
    benchmark::Shutdown();
    return 0;
}

// Called with the timing paused, after the rows were changed: times only sending the change log
// (send takes the log and answers the update's status text), then merges it untimed.
template <class Send>
void sendTimed(benchmark::State& state, framework::ClientDataSet& cds, Send send)
{
    const QVariant log = QVariant::fromValue(cds.GetDelta());
    state.ResumeTiming();
    const QString status = send(log).toString();
    if (!status.isEmpty())
        state.SkipWithError(status.toStdString().c_str());
    state.PauseTiming();
    cds.MergeChangeLog();
    state.ResumeTiming();
}

} // namespace bench
