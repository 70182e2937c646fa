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

#include "BenchStreamFile.h"
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

// Resident memory (MiB) when the last start painted its picture, with its document still open.
double& ResidentAtFirstPaint()
{
    static double mib = 0;
    return mib;
}

// One start of the application on a stream file; seconds until its picture was painted.
double StartToFirstPaint(bool bColdApplication, const std::filesystem::path& path = DemoPath())
{
    const auto start = Clock::now();
    if (bColdApplication)
        EnsureApplication();
    double seconds = 0;
    {
        CKVTPlayerApp app;
        g_bFramePainted = 0;
        if (!app.InitInstance({QString::fromStdString(path.string())}))
            return -1;
        while (!g_bFramePainted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
        ResidentAtFirstPaint() = ProcessMemoryMiB("VmRSS");
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

// The file named by KVT_BENCH_FILE opened in a started application, from the disk (range 0) or
// from the page cache (1), with the process's resident memory once its first frame is painted
// and at its peak. Run each case in a process of its own, the peak being the process's.
void BM_OpenFileToFirstPaint(benchmark::State& state)
{
    const char* path = BenchStreamFile();
    if (path == nullptr) {
        state.SkipWithError("KVT_BENCH_FILE names no stream file");
        return;
    }
    EnsureApplication();
    for (auto _ : state) {
        if (state.range(0) == 0)
            DropFromPageCache(path);
        else
            WarmPageCache(path);
        const double seconds = StartToFirstPaint(false, path);
        if (seconds < 0)
            state.SkipWithError("the file was refused");
        state.SetIterationTime(seconds);
        state.counters["resident_MiB"] = ResidentAtFirstPaint();
        state.counters["peak_MiB"] = ProcessMemoryMiB("VmHWM");
    }
}
BENCHMARK(BM_OpenFileToFirstPaint)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
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
