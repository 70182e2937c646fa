// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up to the first painted frame of a file named on the command line: the QApplication (cold
// case only), the application object's InitInstance with the open-time test, the load, the windows,
// and the event processing up to the view's first paint of the picture. Run it on the platform to
// be measured, e.g. `xvfb-run -a build/bench/StartupBench`.

#include <QApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <unistd.h>

#include "PrivateSettings.h"
#include "app/KVTPlayerApp.h"
#include "app/SplashWnd.h"
#include "cli/DemoStream.h"
#include "io/Archive.h"
#include "player/KVTPlayerView.h"
#include "stream/ImageStream.h"

namespace {
using Clock = std::chrono::steady_clock;

std::optional<QApplication>& Application()
{
    static std::optional<QApplication> app;
    return app;
}

void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "StartupBench";
    static char* argv[] = {name, nullptr};
    if (!Application())
        Application().emplace(argc, argv);
}

// The demo stream in a temporary file, removed when the program ends.
struct DemoFile {
    DemoFile()
    {
        CArchive ar(m_path, CArchive::store);
        MakeDemoStream()->Store(ar);
        ar.Close();
    }
    ~DemoFile() { std::filesystem::remove(m_path); }
    std::filesystem::path m_path =
        std::filesystem::temp_directory_path() / ("kvt-startup-" + std::to_string(::getpid()) + ".kvt");
};

const std::filesystem::path& DemoPath()
{
    static const DemoFile file;
    return file.m_path;
}

// One start of the application on the demo file; seconds until its picture was painted.
double StartToFirstPaint(bool bColdApplication)
{
    const auto start = Clock::now();
    if (bColdApplication)
        EnsureApplication();
    double seconds = 0;
    {
        CKVTPlayerApp app;
        g_bFramePainted = 0;
        if (!app.InitInstance({QString::fromStdString(DemoPath().string())}))
            return -1;
        while (!g_bFramePainted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (CSplashWnd* splash = CSplashWnd::Current())
            splash->HideSplash();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return seconds;
}

void BM_ColdStartToFirstPaint(benchmark::State& state)
{
    for (auto _ : state) {
        const double seconds = StartToFirstPaint(!Application());
        if (seconds < 0)
            state.SkipWithError("the demo file was refused");
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_ColdStartToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_WarmStartToFirstPaint(benchmark::State& state)
{
    EnsureApplication();
    for (auto _ : state) {
        const double seconds = StartToFirstPaint(false);
        if (seconds < 0)
            state.SkipWithError("the demo file was refused");
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_WarmStartToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
}  // namespace

// The application object must go before Qt's own statics do.
int main(int argc, char** argv)
{
    UsePrivateSettings();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Application().reset();
    return 0;
}
