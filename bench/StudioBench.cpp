// SPDX-License-Identifier: GPL-3.0-or-later
// The studio's interactive paths on 1920 x 1080 frames: the tone and halftone preview of a source
// frame (each dither), and the reveal of three checked (3, 5) random-grid shares; and the time from
// the window's construction to its first paint. Run the window case on the platform to be measured,
// e.g. `xvfb-run -a build/bench/StudioBench`.

#include <QApplication>
#include <QWindow>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <optional>

#include "PrivateSettings.h"
#include "studio/SecretPreview.h"
#include "studio/ShareSet.h"
#include "studio/StudioSource.h"
#include "studio/StudioWindow.h"
#include "vss/RandomSource.h"
#include "vss/SchemeRequest.h"
#include "vss/ShareMaker.h"

namespace {
constexpr int kWidth = 1920, kHeight = 1080;

QApplication& Application()
{
    static int argc = 1;
    static char name[] = "StudioBench";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

// A photograph-like frame: smooth light with detail, saved once as a PNG source.
struct SourceFile {
    SourceFile()
    {
        QImage frame(kWidth, kHeight, QImage::Format_Grayscale8);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                frame.scanLine(y)[x] = static_cast<uchar>((x * 255 / kWidth + ((x / 7) ^ (y / 5)) % 32) & 0xFF);
        frame.save(dir.filePath(QStringLiteral("frame.png")));
        source.Open(dir.filePath(QStringLiteral("frame.png")).toStdString(), {});
    }
    QTemporaryDir dir;
    CStudioSource source;
};

SourceFile& Source()
{
    static SourceFile file;
    return file;
}

void BM_TonePreview(benchmark::State& state)
{
    Application();
    ImportSettings settings;
    settings.dither = static_cast<DitherMethod>(state.range(0));
    settings.tone.gamma = 1.4;
    settings.tone.autoLevels = AutoLevels::first;
    for (auto _ : state) {
        FramePreview preview;
        std::string error;
        benchmark::DoNotOptimize(PreviewFrame(Source().source, settings, preview, error));
    }
    state.SetLabel(std::string(DitherMethodName(settings.dither.value())));
}
BENCHMARK(BM_TonePreview)
    ->Arg(static_cast<int>(DitherMethod::floydSteinberg))
    ->Arg(static_cast<int>(DitherMethod::blueNoise))
    ->Arg(static_cast<int>(DitherMethod::ordered))
    ->Arg(static_cast<int>(DitherMethod::threshold))
    ->Unit(benchmark::kMillisecond);

void BM_RestackThreeOfFive(benchmark::State& state)
{
    std::string refusal;
    const auto scheme = ChooseScheme({SchemeFamily::RandomGrid, 3, 5, std::nullopt}, refusal);
    const auto random = CChaChaRandomSource::FromSeed(1);
    const auto maker = MakeShareMaker(*scheme, kWidth, kHeight, *random);
    QImage secret(kWidth, kHeight, QImage::Format_Grayscale8);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            secret.scanLine(y)[x] = ((x / 64) + (y / 64)) % 2 ? 0 : 255;
    std::vector<QImage> shares(5, QImage(kWidth, kHeight, QImage::Format_Grayscale8));
    std::vector<std::uint8_t*> pointers;
    for (QImage& share : shares)
        pointers.push_back(share.bits());
    maker->Make(secret.constBits(), pointers.data());
    std::vector<StackLayer> layers;
    for (int i : {0, 2, 4})
        layers.push_back({&shares[static_cast<std::size_t>(i)], QPoint()});
    for (auto _ : state)
        benchmark::DoNotOptimize(StackLayers(layers, StackMode::stack));
}
BENCHMARK(BM_RestackThreeOfFive)->Unit(benchmark::kMillisecond);

// From the window's construction to its first paint, with the application already running.
void BM_WindowVisible(benchmark::State& state)
{
    Application();
    static const bool privateSettings = (UsePrivateSettings(), true);
    (void)privateSettings;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        CStudioWindow window;
        window.show();
        while (!window.isVisible() || !window.windowHandle() || !window.windowHandle()->isExposed())
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        QApplication::processEvents();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}
BENCHMARK(BM_WindowVisible)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
}  // namespace
