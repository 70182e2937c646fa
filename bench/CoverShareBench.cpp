// Extended (cover) shares of one 1000 x 1000 frame, with random bytes from a counter (the kernel
// alone) and from the system's generator, against a plain memset of the two share frames.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <sys/random.h>
#include <vector>

#include "vss/ExtendedShares.h"

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

void CoverShares(benchmark::State& state, const extended_shares::RandomBytes& random)
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

void CoverSharesKernel(benchmark::State& state)
{
    std::vector<std::uint8_t> counter(64 * 1024);
    for (std::size_t i = 0; i < counter.size(); ++i)
        counter[i] = static_cast<std::uint8_t>(i);
    CoverShares(state, [&counter](std::uint8_t* bytes, std::size_t count) {
        for (std::size_t done = 0; done < count; done += counter.size())
            std::memcpy(bytes + done, counter.data(), std::min(counter.size(), count - done));
        return true;
    });
}

void CoverSharesSystemRandom(benchmark::State& state)
{
    CoverShares(state, [](std::uint8_t* bytes, std::size_t count) {
        return ::getrandom(bytes, count, 0) == static_cast<ssize_t>(count);
    });
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
BENCHMARK(CoverSharesSystemRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(MemsetFloor)->Unit(benchmark::kMillisecond);
