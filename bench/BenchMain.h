#pragma once
// The main of the benchmark programs: Qt's core application (for the
// encodings and files) around Google Benchmark; the widget variant for the
// benches that build screens, offscreen.
#include <QApplication>
#include <QCoreApplication>

#include <benchmark/benchmark.h>

#define VORN_BENCHMARK_MAIN()                                                                                \
    int main(int argc, char **argv)                                                                          \
    {                                                                                                        \
        QCoreApplication app(argc, argv);                                                                    \
        benchmark::Initialize(&argc, argv);                                                                  \
        benchmark::RunSpecifiedBenchmarks();                                                                 \
        benchmark::Shutdown();                                                                               \
        return 0;                                                                                            \
    }

#define VORN_WIDGET_BENCHMARK_MAIN()                                                                         \
    int main(int argc, char **argv)                                                                          \
    {                                                                                                        \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                             \
        QApplication app(argc, argv);                                                                        \
        benchmark::Initialize(&argc, argv);                                                                  \
        benchmark::RunSpecifiedBenchmarks();                                                                 \
        benchmark::Shutdown();                                                                               \
        return 0;                                                                                            \
    }
