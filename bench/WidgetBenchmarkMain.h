// The entry of a benchmark file whose figures need widgets.
#pragma once

#include "Application.h"

#include <benchmark/benchmark.h>

#include <QApplication>

// Runs the file's benchmarks under a QApplication, on the offscreen platform
// unless QT_QPA_PLATFORM names another. With desktop, the desktop's icon
// theme and font substitutes are set up first, as the program sets them up.
inline int RunWidgetBenchmarks(int argc, char** argv, bool desktop)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (desktop)
        InitializeDesktop();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
