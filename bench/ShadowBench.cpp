// SPDX-License-Identifier: GPL-3.0-or-later
// Shadow generation against the cost of just writing its output: memset of the two shadow frames
// into reused buffers, and allocation plus memset of fresh frames for a whole stream.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "stream/ImageStream.h"
#include "vss/PatternSource.h"
#include "vss/ShadowKernels.h"

namespace {
constexpr int kSide = 1000;
constexpr int kFrames = 10;
constexpr std::size_t kShadowFrameBytes = std::size_t{2 * kSide} * (2 * kSide);

// A 1000 x 1000 secret whose pixels are black and white in no pattern the branch predictor learns.
std::unique_ptr<CImageStream> MakeSecret(int frames)
{
    auto secret = std::make_unique<CImageStream>();
    secret->Initialize(kSide, kSide, static_cast<std::uint16_t>(frames));
    std::uint32_t noise = 99;
    for (int k = 0; k < frames; ++k) {
        FrameBuffer frame = AllocateFrameBuffer(secret->GetFrameBytes());
        for (std::size_t i = 0; i < secret->GetFrameBytes(); ++i) {
            noise = noise * 1664525u + 1013904223u;
            frame[i] = (noise >> 31) ? 255 : 0;
        }
        secret->AppendFrame(std::move(frame));
    }
    return secret;
}

const CImageStream& Secret(int frames)
{
    static const auto one = MakeSecret(1);
    static const auto ten = MakeSecret(kFrames);
    return frames == 1 ? *one : *ten;
}

void SetBytes(benchmark::State& state, std::size_t bytesPerIteration)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytesPerIteration));
}

// (a) One 1000 x 1000 frame into reused shadow buffers.
void ShadowFrameReused(benchmark::State& state, const shadow_kernels::Kernels& kernels, bool secure)
{
    const CImageStream& secret = Secret(1);
    std::vector<std::uint8_t> shadow1(kShadowFrameBytes), shadow2(kShadowFrameBytes),
        indices(shadow_kernels::IndexScratchSize(kSide));
    CLcgPatternSource seeded(1, kernels);
    CSecurePatternSource system;
    CPatternSource& source = secure ? static_cast<CPatternSource&>(system) : seeded;
    for (auto _ : state) {
        shadow_kernels::WriteShadowFrame(kernels, secret.GetFrameAt(secret.GetHeadPosition()), kSide, kSide,
                                         kSide, source, indices.data(), shadow1.data(), shadow2.data());
        benchmark::DoNotOptimize(shadow1.data());
        benchmark::DoNotOptimize(shadow2.data());
        benchmark::ClobberMemory();
    }
    SetBytes(state, 2 * kShadowFrameBytes);
}

void BM_ShadowFrameReused_Scalar(benchmark::State& state)
{
    ShadowFrameReused(state, shadow_kernels::ScalarKernels(), false);
}
BENCHMARK(BM_ShadowFrameReused_Scalar)->Unit(benchmark::kMillisecond);

// A vector kernel set, or a skip on a CPU without it.
void VectorFrameReused(benchmark::State& state, const shadow_kernels::Kernels* kernels, const char* missing)
{
    if (kernels != nullptr)
        ShadowFrameReused(state, *kernels, false);
    else
        state.SkipWithError(missing);
}

void BM_ShadowFrameReused_Avx2(benchmark::State& state)
{
    VectorFrameReused(state, shadow_kernels::Avx2Kernels(), "no AVX2");
}
BENCHMARK(BM_ShadowFrameReused_Avx2)->Unit(benchmark::kMillisecond);

void BM_ShadowFrameReused_Avx512(benchmark::State& state)
{
    VectorFrameReused(state, shadow_kernels::Avx512Kernels(), "no AVX-512 F and BW");
}
BENCHMARK(BM_ShadowFrameReused_Avx512)->Unit(benchmark::kMillisecond);

void BM_ShadowFrameReused_Best(benchmark::State& state)
{
    state.SetLabel(shadow_kernels::BestKernels().name);
    ShadowFrameReused(state, shadow_kernels::BestKernels(), false);
}
BENCHMARK(BM_ShadowFrameReused_Best)->Unit(benchmark::kMillisecond);

void BM_ShadowFrameReused_Secure(benchmark::State& state)
{
    ShadowFrameReused(state, shadow_kernels::BestKernels(), true);
}
BENCHMARK(BM_ShadowFrameReused_Secure)->Unit(benchmark::kMillisecond);

void BM_MemsetTwoShadowFrames(benchmark::State& state)
{
    std::vector<std::uint8_t> shadow1(kShadowFrameBytes), shadow2(kShadowFrameBytes);
    for (auto _ : state) {
        std::memset(shadow1.data(), 255, kShadowFrameBytes);
        std::memset(shadow2.data(), 255, kShadowFrameBytes);
        benchmark::DoNotOptimize(shadow1.data());
        benchmark::DoNotOptimize(shadow2.data());
        benchmark::ClobberMemory();
    }
    SetBytes(state, 2 * kShadowFrameBytes);
}
BENCHMARK(BM_MemsetTwoShadowFrames)->Unit(benchmark::kMillisecond);

// (b) CreateVSSShadows on a 10-frame secret, allocation and release included.
void CreateShadows(benchmark::State& state, bool secure)
{
    const CImageStream& secret = Secret(kFrames);
    for (auto _ : state) {
        CImageStream shadow1, shadow2;
        CLcgPatternSource seeded(1);
        CSecurePatternSource system;
        CPatternSource& source = secure ? static_cast<CPatternSource&>(system) : seeded;
        if (!secret.CreateVSSShadows(&shadow1, &shadow2, source))
            state.SkipWithError("CreateVSSShadows failed");
        benchmark::DoNotOptimize(shadow1.GetFrameAt(shadow1.GetHeadPosition()));
    }
    SetBytes(state, 2 * kFrames * kShadowFrameBytes);
}

void BM_CreateShadows_Seeded(benchmark::State& state)
{
    CreateShadows(state, false);
}
BENCHMARK(BM_CreateShadows_Seeded)->Unit(benchmark::kMillisecond);

void BM_CreateShadows_Secure(benchmark::State& state)
{
    CreateShadows(state, true);
}
BENCHMARK(BM_CreateShadows_Secure)->Unit(benchmark::kMillisecond);

void BM_AllocateAndMemsetShadowFrames(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<FrameBuffer> frames;
        for (int k = 0; k < 2 * kFrames; ++k) {
            frames.emplace_back(static_cast<BYTE*>(std::malloc(kShadowFrameBytes)));
            std::memset(frames.back().get(), 255, kShadowFrameBytes);
        }
        benchmark::DoNotOptimize(frames.data());
        benchmark::ClobberMemory();
    }
    SetBytes(state, 2 * kFrames * kShadowFrameBytes);
}
BENCHMARK(BM_AllocateAndMemsetShadowFrames)->Unit(benchmark::kMillisecond);
}  // namespace
