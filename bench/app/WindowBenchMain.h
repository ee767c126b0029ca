// The main of the window benchmarks: settings in a private folder, the offscreen platform, and
// the registered benchmarks run with the window's platform in `platform`.
#pragma once

#include "platform/qt/QtPlatform.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

inline int RunWindowBenchmarks(int argc, char** argv, PlatformQt::QtPlatform*& platform) {
    // The window writes its settings when it closes: keep them away from the user's.
    std::string dir = (std::filesystem::temp_directory_path() / "vantrel-bench-XXXXXX").string();
    if (!mkdtemp(dir.data()))
        return 1;
    setenv("VANTREL_CONFIG_DIR", dir.c_str(), 1);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    PlatformQt::QtPlatform qtPlatform;
    platform = &qtPlatform;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    platform = nullptr;
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
}
