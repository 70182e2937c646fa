// SPDX-License-Identifier: GPL-3.0-or-later
// Halftoning one 1000 x 1000 frame of detailed grey with each method: time per frame.

#include <benchmark/benchmark.h>

#include <QImage>
#include <cstring>

#include "media/Halftone.h"

namespace {
QImage DetailedGrey()
{
    QImage frame(1000, 1000, QImage::Format_Grayscale8);
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x)
            frame.scanLine(y)[x] = static_cast<uchar>((x * x + y * 3) % 251);
    }
    return frame;
}

void BM_Halftone(benchmark::State& state, DitherMethod method)
{
    const auto halftoner = MakeHalftoner(method);
    const QImage source = DetailedGrey();
    QImage frame = source.copy();
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(frame.bits(), source.constBits(), static_cast<std::size_t>(source.sizeInBytes()));
        state.ResumeTiming();
        halftoner->Apply(frame);
        benchmark::DoNotOptimize(frame.constBits());
    }
}
}  // namespace

BENCHMARK_CAPTURE(BM_Halftone, threshold, DitherMethod::threshold)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Halftone, floyd_steinberg, DitherMethod::floydSteinberg)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Halftone, ordered, DitherMethod::ordered)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Halftone, blue_noise, DitherMethod::blueNoise)->Unit(benchmark::kMillisecond);
