// SPDX-License-Identifier: GPL-3.0-or-later
// Interlacing copies whole frames; it should run at the speed of memcpy over the same bytes.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "stream/ImageStream.h"
#include "vss/PatternSource.h"

namespace {
constexpr int kSecretSide = 1000;
constexpr int kFrames = 10;

struct Shadows {
    CImageStream a, b, c, d;
};

// Two shadow pairs of a 10-frame 1000 x 1000 secret: 2000 x 2000 shadows.
const Shadows& ShadowsOfSecret()
{
    static const auto shadows = [] {
        auto s = std::make_unique<Shadows>();
        CImageStream secret;
        secret.Initialize(kSecretSide, kSecretSide, kFrames);
        for (int k = 0; k < kFrames; ++k)
            secret.AppendFrame(AllocateFrameBuffer(secret.GetFrameBytes()));
        CLcgPatternSource source(1);
        secret.CreateVSSShadows(&s->a, &s->b, source);
        secret.CreateVSSShadows(&s->c, &s->d, source);
        return s;
    }();
    return *shadows;
}

void SetBytes(benchmark::State& state, std::size_t bytesPerIteration)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytesPerIteration));
}

void BM_InterlaceMode1(benchmark::State& state)
{
    const Shadows& s = ShadowsOfSecret();
    for (auto _ : state) {
        CImageStream result;
        benchmark::DoNotOptimize(result.InterlaceMode1(&s.a, &s.b));
    }
    SetBytes(state, 2 * kFrames * s.a.GetFrameBytes());
}

void BM_InterlaceMode2(benchmark::State& state)
{
    const Shadows& s = ShadowsOfSecret();
    for (auto _ : state) {
        CImageStream result;
        benchmark::DoNotOptimize(result.InterlaceMode2(&s.a, &s.b, &s.c, &s.d));
    }
    SetBytes(state, 4 * kFrames * s.a.GetFrameBytes());
}

// The floor: the same frames copied into fresh buffers with memcpy.
void BM_MemcpyIntoFreshBuffers(benchmark::State& state)
{
    const Shadows& s = ShadowsOfSecret();
    const std::size_t bytes = s.a.GetFrameBytes();
    const int copies = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::vector<FrameBuffer> out;
        for (int n = 0; n < copies; ++n) {
            POSITION pos = s.a.GetHeadPosition();
            for (int k = 0; k < kFrames; ++k) {
                FrameBuffer frame(static_cast<BYTE*>(std::malloc(bytes)));
                std::memcpy(frame.get(), s.a.GetNextFrame(pos), bytes);
                out.push_back(std::move(frame));
            }
        }
        benchmark::DoNotOptimize(out.data());
    }
    SetBytes(state, static_cast<std::size_t>(copies) * kFrames * bytes);
}

// The same copies into buffers already faulted in: what the copying itself costs.
void BM_MemcpyIntoReusedBuffers(benchmark::State& state)
{
    const Shadows& s = ShadowsOfSecret();
    const std::size_t bytes = s.a.GetFrameBytes();
    const int copies = static_cast<int>(state.range(0));
    std::vector<FrameBuffer> out;
    for (int n = 0; n < copies * kFrames; ++n)
        out.push_back(AllocateFrameBuffer(bytes));
    for (auto _ : state) {
        for (int n = 0; n < copies; ++n) {
            POSITION pos = s.a.GetHeadPosition();
            for (int k = 0; k < kFrames; ++k)
                std::memcpy(out[n * kFrames + k].get(), s.a.GetNextFrame(pos), bytes);
        }
        benchmark::DoNotOptimize(out.data());
    }
    SetBytes(state, static_cast<std::size_t>(copies) * kFrames * bytes);
}
}  // namespace

BENCHMARK(BM_InterlaceMode1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InterlaceMode2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyIntoFreshBuffers)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyIntoReusedBuffers)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);
