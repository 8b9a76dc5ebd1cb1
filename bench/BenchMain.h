#pragma once
// The main of every benchmark program: Qt's core application (for the
// encodings and files) around Google Benchmark.
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
