// SPDX-License-Identifier: GPL-3.0-or-later
// The shadow command from the key press to both shadow windows painted: the generation with the
// system random source, the two documents, their windows and their first paints. Run it on the
// platform to be measured, e.g. `xvfb-run -a build/bench/ShadowCommandBench`.

#include <QApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <random>
#include <unistd.h>

#include "PrivateSettings.h"
#include "app/KVTPlayerApp.h"
#include "app/SplashWnd.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"
#include "framework/DocTemplate.h"
#include "io/Archive.h"
#include "player/KVTPlayerView.h"
#include "stream/ImageStream.h"

namespace {
using Clock = std::chrono::steady_clock;

// A black-and-white secret of the given shape in a temporary file.
std::filesystem::path WriteSecret(int width, int height, int frames)
{
    const auto path = std::filesystem::temp_directory_path() /
                      ("kvt-secret-" + std::to_string(::getpid()) + "-" + std::to_string(width) + ".kvt");
    CImageStream secret;
    secret.Initialize(width, height, static_cast<std::uint16_t>(frames));
    std::mt19937 bits(1);
    for (int k = 0; k < frames; ++k) {
        FrameBuffer frame = AllocateFrameBuffer(secret.GetFrameBytes());
        for (std::size_t i = 0; i < secret.GetFrameBytes(); ++i)
            frame[i] = (bits() & 1) ? 255 : 0;
        secret.AppendFrame(std::move(frame));
    }
    CArchive ar(path, CArchive::store);
    secret.Store(ar);
    ar.Close();
    return path;
}

void BM_CreateShadowsToWindowsPainted(benchmark::State& state)
{
    const auto path = WriteSecret(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                                  static_cast<int>(state.range(2)));
    CKVTPlayerApp app;
    if (!app.InitInstance({QString::fromStdString(path.string())})) {
        state.SkipWithError("the secret was refused");
        return;
    }
    if (CSplashWnd* splash = CSplashWnd::Current())
        splash->HideSplash();
    QCoreApplication::processEvents();
    CMultiDocTemplate& docTemplate = app.GetDocTemplate();
    for (auto _ : state) {
        const auto start = Clock::now();
        g_bFramePainted = 0;
        app.GetRouter().Execute(cmd::ID_CREATE_SHADOWS);
        while (!g_bFramePainted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());

        const auto documents = docTemplate.GetDocuments();
        for (std::size_t i = 1; i < documents.size(); ++i)
            docTemplate.CloseDocument(*documents[i]);
        docTemplate.GetFrames(*documents.front()).front()->setFocus();
        QCoreApplication::processEvents();
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_CreateShadowsToWindowsPainted)
    ->Args({320, 240, 100})
    ->Args({1000, 1000, 10})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
}  // namespace

int main(int argc, char** argv)
{
    UsePrivateSettings();
    QApplication qtApp(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
