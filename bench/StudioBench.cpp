// SPDX-License-Identifier: GPL-3.0-or-later
// The studio's interactive paths on 1920 x 1080 frames: the tone and halftone preview of a source
// frame (each dither), and the reveal of three checked (3, 5) random-grid shares; the time from
// the window's construction to its first paint; and the frames a second the window shows while it
// plays five 640 x 480 (3, 5) random-grid shares stacked, against the video's 25. Run the window
// cases on the platform to be measured, e.g. under `xvfb-run -a` with a window manager.

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWindow>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <optional>
#include <sys/resource.h>

#include "PrivateSettings.h"
#include "media/StreamExport.h"
#include "media/FrameSink.h"
#include "studio/ImageView.h"
#include "studio/RevealPanel.h"
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

// A 640 x 480 video at 25 frames a second: a bright disc moving over a ramp.
QString PlayVideo(const QTemporaryDir& dir, int frames)
{
    constexpr int kVideoWidth = 640, kVideoHeight = 480, kDelayMs = 40;
    const std::filesystem::path out = dir.filePath(QStringLiteral("clip.mkv")).toStdString();
    std::string error;
    const ExportTarget target{out, FindExportFormat(out), std::nullopt, 0, frames - 1,
                              QSize(kVideoWidth, kVideoHeight), kDelayMs};
    const auto sink = OpenExportSink(target, nullptr, error);
    int index = 0;
    const NextFrame next = [&] {
        QImage frame(kVideoWidth, kVideoHeight, QImage::Format_Grayscale8);
        for (int y = 0; y < kVideoHeight; ++y)
            for (int x = 0; x < kVideoWidth; ++x) {
                const int dx = x - 8 * index % kVideoWidth, dy = y - kVideoHeight / 2;
                frame.scanLine(y)[x] = dx * dx + dy * dy < 100 * 100 ? 255 : static_cast<uchar>(x * 200 / kVideoWidth);
            }
        ++index;
        return frame;
    };
    if (!sink || CopyFrames(next, 0, frames - 1, 1, *sink, {}, error) != CopyOutcome::written)
        return {};
    return QString::fromStdString(out.string());
}

double CpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Counts the frames the reveal is painted with.
class CPaintedFrames : public QObject {
public:
    CPaintedFrames(CStudioWindow& window) : m_window(window) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            const auto frame = m_window.GetSession().GetFrameIndex();
            m_count += frame != m_last ? 1 : 0;
            m_last = frame;
        }
        return QObject::eventFilter(watched, event);
    }
    int m_count = 0;

private:
    CStudioWindow& m_window;
    std::uint64_t m_last = ~std::uint64_t{0};
};

// The frames a second the reveal is painted with while playing, all five shares stacked.
void BM_PlayFiveShares(benchmark::State& state)
{
    Application();
    static const bool privateSettings = (UsePrivateSettings(), true);
    (void)privateSettings;
    QTemporaryDir dir;
    const QString video = PlayVideo(dir, 250);
    CStudioWindow window;
    window.show();
    if (video.isEmpty() || !window.OpenFile(video)) {
        state.SkipWithError("no video to play");
        return;
    }
    SchemeSettings scheme;
    scheme.request = {SchemeFamily::RandomGrid, 3, 5, std::nullopt};
    window.GetSession().SetSchemeSettings(scheme);
    window.MakeShares();
    while (window.IsBusy())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    QAction* play = nullptr;
    for (QAction* action : window.findChildren<QAction*>())
        if (action->shortcut() == QKeySequence(Qt::Key_Space))
            play = action;
    CPaintedFrames painted(window);
    window.GetRevealPanel()->GetRevealView()->installEventFilter(&painted);
    for (auto _ : state) {
        painted.m_count = 0;
        const double cpu = CpuSeconds();
        QElapsedTimer clock;
        play->trigger();
        clock.start();
        QEventLoop loop;  // idle between frames, so that the load is the playing's
        QTimer::singleShot(static_cast<int>(state.range(0) * 1000), &loop, &QEventLoop::quit);
        loop.exec();
        play->trigger();
        const double seconds = static_cast<double>(clock.elapsed()) / 1000;
        state.SetIterationTime(seconds);
        state.counters["shown_fps"] = painted.m_count / seconds;
        state.counters["cpu_load"] = (CpuSeconds() - cpu) / seconds;
    }
    state.SetLabel("asked 25 frames a second");
}
BENCHMARK(BM_PlayFiveShares)->Arg(8)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
}  // namespace
