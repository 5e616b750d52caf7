#pragma once

// What the main of a widget benchmark does around the benchmarks: the application they
// paint in, and the run of the benchmarks the command line names.

#include "platform/reactive/Scheduler.hpp"

#include <QApplication>
#include <QByteArray>
#include <QString>

#include <benchmark/benchmark.h>

namespace tidemark::bench {

// The application of a widget benchmark: on the offscreen platform unless QT_QPA_PLATFORM
// names another, and in the Fusion style, so that figures do not depend on the desktop.
class BenchmarkApplication final : public QApplication {
public:
    BenchmarkApplication(int& argc, char** argv)
        : QApplication(offscreenUnlessNamed(argc), argv)
    {
        QApplication::setStyle(QStringLiteral("Fusion"));
    }

private:
    static int& offscreenUnlessNamed(int& argc)
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return argc;
    }
};

// Runs the benchmarks the command line names; 1 when it names options Google Benchmark
// does not know.
inline int runBenchmarks(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Runs them with a main queue of type `Queue` (made once the application is there, e.g.
// rx::QtMainQueue) set for the whole run.
template <typename Queue> int runBenchmarksOnMainQueue(int argc, char** argv)
{
    Queue mainQueue;
    rx::setMainQueue(&mainQueue);
    const int result = runBenchmarks(argc, argv);
    rx::setMainQueue(nullptr);
    return result;
}

} // namespace tidemark::bench
