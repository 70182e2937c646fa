// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing and playing frames. The paint of the view should cost about what drawing the wrapped
// frames costs (Grayscale8 onto the 32-bit surface), and playback at a 1 ms delay should be held
// back only by the paint. Paints run on QImages; the playback cases need a real window, so run them
// under a display:  xvfb-run -a -s "-screen 0 2400x2200x24" build-.../bench/DrawBench
// BM_PlaybackFile plays the file named by KVT_BENCH_FILE (see BenchStreamFile.h).

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>
#include <map>
#include <memory>

#include "BenchStreamFile.h"
#include "framework/CommandRouter.h"
#include "framework/QtTimerService.h"
#include "player/KVTPlayerDoc.h"
#include "player/KVTPlayerView.h"

namespace {

std::unique_ptr<CImageStream> MakeStream(int side1, int side2, int frames)
{
    auto stream = std::make_unique<CImageStream>();
    stream->Initialize(side1, side2, static_cast<std::uint16_t>(frames));
    for (int k = 0; k < frames; ++k) {
        FrameBuffer frame = AllocateFrameBuffer(stream->GetFrameBytes());
        for (std::size_t i = 0; i < stream->GetFrameBytes(); ++i)
            frame[i] = static_cast<BYTE>((i * 7 + k * 31) & 0xFF);
        stream->AppendFrame(std::move(frame));
    }
    return stream;
}

QImage Surface(int width, int height)
{
    QImage surface(width, height, QImage::Format_RGB32);
    surface.fill(Qt::white);
    return surface;
}

// --- The reference: one wrapped frame drawn straight onto the surface.

void DrawWrapped(benchmark::State& state, QImage::Format format, QPainter::CompositionMode mode)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    const auto stream = MakeStream(w, h, 1);
    QImage frame(stream->GetFrameAt(stream->GetHeadPosition()), w, h, stream->GetRowStride(), format);
    if (format == QImage::Format_Indexed8) {
        QList<QRgb> greys;
        for (int i = 0; i < 256; ++i)
            greys.push_back(qRgb(i, i, i));
        frame.setColorTable(greys);
    }
    QImage surface = Surface(w + 24, h + 80);
    QPainter dc(&surface);
    dc.setCompositionMode(mode);
    for (auto _ : state) {
        dc.drawImage(QPoint(12, 65), frame);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * w * h);
}

void BM_WrappedGrey(benchmark::State& state)
{
    DrawWrapped(state, QImage::Format_Grayscale8, QPainter::CompositionMode_SourceOver);
}
void BM_WrappedGreyAnd(benchmark::State& state)
{
    DrawWrapped(state, QImage::Format_Grayscale8, QPainter::RasterOp_SourceAndDestination);
}
void BM_WrappedIndexed(benchmark::State& state)
{
    DrawWrapped(state, QImage::Format_Indexed8, QPainter::CompositionMode_SourceOver);
}

// --- The view's paint: one stream, a pair side by side, a pair half stacked.

enum class Layout { Single, PairApart, PairStacked };

void PaintView(benchmark::State& state, Layout layout)
{
    const int side1 = static_cast<int>(state.range(0)), side2 = static_cast<int>(state.range(1));
    CKVTPlayerDoc doc;
    doc.m_pStream = MakeStream(side1, side2, 2);
    if (layout != Layout::Single) {
        doc.m_pSecondStream = MakeStream(side1, side2, 2);
        doc.m_nMode = 3;
    }
    CCommandRouter router;
    CKVTPlayerView view(&doc, &router);
    view.OnInitialUpdate();
    if (layout == Layout::PairStacked)
        for (int i = 0; i < side1 / 2 + 50; ++i)
            view.OnImageRight();  // the first picture over the left half of the second
    QImage surface = Surface(2 * side1 + 100, side2 + 80);
    QPainter dc(&surface);
    for (auto _ : state) {
        view.OnDraw(dc);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * side1 * side2);
}

void BM_PaintSingle(benchmark::State& state)
{
    PaintView(state, Layout::Single);
}
void BM_PaintPairApart(benchmark::State& state)
{
    PaintView(state, Layout::PairApart);
}
void BM_PaintPairStacked(benchmark::State& state)
{
    PaintView(state, Layout::PairStacked);
}

// --- Playback in a real window: ticks let through by the gate, each followed by a paint.

class CountingTimers : public CTimerService {
public:
    UINT SetEvent(int nPeriod, TimerProc proc, void* pUser) override
    {
        auto entry = std::make_unique<Entry>(Entry{proc, pUser, this});
        const UINT id = m_timers.SetEvent(nPeriod, &Count, entry.get());
        if (id)
            m_entries[id] = std::move(entry);
        return id;
    }
    void KillEvent(UINT nTimerID) override
    {
        m_timers.KillEvent(nTimerID);
        m_entries.erase(nTimerID);
    }
    long m_nStepped = 0;

private:
    struct Entry {
        TimerProc proc;
        void* pUser;
        CountingTimers* self;
    };
    static void Count(CTimerService&, UINT id, void* pEntry)
    {
        const Entry entry = *static_cast<Entry*>(pEntry);  // the tick may cancel its timer
        if (g_bFramePainted)
            ++entry.self->m_nStepped;
        entry.proc(*entry.self, id, entry.pUser);
    }
    CQtTimerService m_timers;
    std::map<UINT, std::unique_ptr<Entry>> m_entries;
};

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Plays the document's stream in a window with the delay at nDelay ms for two seconds per
// iteration; `beforeEach` runs before each.
void PlayDocument(benchmark::State& state, CKVTPlayerDoc& doc, int nDelay, const std::function<void()>& beforeEach)
{
    const int side1 = doc.m_pStream->GetWidth(), side2 = doc.m_pStream->GetHeight();
    CCommandRouter router;
    QWidget window;
    auto timers = std::make_unique<CountingTimers>();
    CountingTimers& counter = *timers;
    auto* view = new CKVTPlayerView(&doc, &router, &window, std::move(timers));
    (new QVBoxLayout(&window))->addWidget(view);
    window.resize(std::min(side1 + 60, 2300), std::min(side2 + 120, 2150));
    window.show();
    view->OnInitialUpdate();
    view->GetSlider()->setValue(std::min(nDelay, CKVTPlayerView::kSliderMax));
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);  // shown and painted once
    loop.exec();

    double seconds = 0, cpu = 0;
    long nSteps = 0;
    for (auto _ : state) {
        beforeEach();
        counter.m_nStepped = 0;
        const double cpuStart = CpuSeconds();
        QElapsedTimer clock;
        clock.start();
        view->OnPlay();
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        loop.exec();
        view->OnPause();
        seconds += clock.nsecsElapsed() / 1e9;
        cpu += CpuSeconds() - cpuStart;
        nSteps += counter.m_nStepped;
    }
    state.counters["frames_per_s"] = nSteps / seconds;
    state.counters["cpu_percent"] = 100 * cpu / seconds;
    state.counters["peak_MiB"] = ProcessMemoryMiB("VmHWM");
}

// Plays a stream of side1 x side2 held in memory with the delay at range(2) ms.
void BM_Playback(benchmark::State& state)
{
    CKVTPlayerDoc doc;
    doc.m_pStream = MakeStream(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), 8);
    PlayDocument(state, doc, static_cast<int>(state.range(2)), [] {});
}

// Plays the file named by KVT_BENCH_FILE, opened as the player opens it, at a 1 ms delay: from the
// disk (range 0: its pages dropped from the page cache before each iteration) or from the cache (1).
void BM_PlaybackFile(benchmark::State& state)
{
    const char* path = BenchStreamFile();
    if (path == nullptr) {
        state.SkipWithError("KVT_BENCH_FILE names no stream file");
        return;
    }
    CKVTPlayerDoc doc;
    if (!doc.OnOpenDocument(path) || !doc.m_pStream) {
        state.SkipWithError("the file was refused");
        return;
    }
    const bool bCold = state.range(0) == 0;
    PlayDocument(state, doc, 1, [&] {
        if (bCold)
            DropFromPageCache(path);
        else
            WarmPageCache(path);
    });
}

}  // namespace

BENCHMARK(BM_WrappedGrey)->Args({320, 240})->Args({640, 480})->Args({1000, 1000})->Args({2000, 2000});
BENCHMARK(BM_WrappedGreyAnd)->Args({640, 480})->Args({2000, 2000});
BENCHMARK(BM_WrappedIndexed)->Args({640, 480})->Args({2000, 2000});
BENCHMARK(BM_PaintSingle)->Args({320, 240})->Args({1000, 1000})->Args({2000, 2000});
BENCHMARK(BM_PaintPairApart)->Args({320, 240})->Args({1000, 1000})->Args({2000, 2000});
BENCHMARK(BM_PaintPairStacked)->Args({320, 240})->Args({1000, 1000})->Args({2000, 2000});
BENCHMARK(BM_Playback)
    ->Args({320, 240, 1})
    ->Args({2000, 2000, 1})
    ->Args({320, 240, 100})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PlaybackFile)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
