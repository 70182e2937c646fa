// SPDX-License-Identifier: GPL-3.0-or-later
// Extended (cover) shares of one 1000 x 1000 frame, with random bytes from a counter (the kernel
// alone) and from the ChaCha20 stream, against a plain memset of the two share frames.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "vss/ExtendedShares.h"
#include "vss/RandomSource.h"

namespace {
constexpr std::size_t kSide = 1000;
constexpr std::size_t kShareBytes = 4 * kSide * kSide;

std::vector<std::uint8_t> Noise(std::uint32_t seed)
{
    std::vector<std::uint8_t> frame(kSide * kSide);
    for (std::uint8_t& v : frame) {
        seed = seed * 1664525u + 1013904223u;
        v = (seed >> 31) ? 255 : 0;
    }
    return frame;
}

void CoverShares(benchmark::State& state, CRandomSource& random)
{
    const auto secret = Noise(1), cover1 = Noise(2), cover2 = Noise(3);
    std::vector<std::uint8_t> share1(kShareBytes), share2(kShareBytes);
    extended_shares::CExtendedShareMaker maker;
    maker.Prepare(kSide, kSide, kSide);
    for (auto _ : state) {
        maker.Make(secret.data(), cover1.data(), cover2.data(), random, share1.data(), share2.data());
        benchmark::DoNotOptimize(share2.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 2 * kShareBytes));
}

// The same bytes over and over: the kernel alone.
class CCounterSource final : public CRandomSource {
public:
    bool Fill(std::uint8_t* bytes, std::size_t count) override
    {
        for (std::size_t i = 0; i < count; ++i)
            bytes[i] = static_cast<std::uint8_t>(i);
        return true;
    }
};

void CoverSharesKernel(benchmark::State& state)
{
    CCounterSource counter;
    CoverShares(state, counter);
}

void CoverSharesChaCha(benchmark::State& state)
{
    CoverShares(state, *CChaChaRandomSource::FromSystem());
}

void MemsetFloor(benchmark::State& state)
{
    std::vector<std::uint8_t> share1(kShareBytes), share2(kShareBytes);
    for (auto _ : state) {
        std::memset(share1.data(), 255, kShareBytes);
        std::memset(share2.data(), 0, kShareBytes);
        benchmark::DoNotOptimize(share2.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 2 * kShareBytes));
}
}  // namespace

BENCHMARK(CoverSharesKernel)->Unit(benchmark::kMillisecond);
BENCHMARK(CoverSharesChaCha)->Unit(benchmark::kMillisecond);
BENCHMARK(MemsetFloor)->Unit(benchmark::kMillisecond);
