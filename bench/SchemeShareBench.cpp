// SPDX-License-Identifier: GPL-3.0-or-later
// The shares of one 1000 x 1000 black-and-white frame by the catalogue's makers, ChaCha20 keyed
// from a seed: a pair-tabled Naor-Shamir basis, random grids and a size-invariant scheme written
// from their columns, a basis of eight columns from its table of orders, bases of up to sixteen
// from split orders, and wider ones shuffled down to their first sixteen cells, put in a split order.

#include <benchmark/benchmark.h>

#include <vector>

#include "vss/RandomSource.h"
#include "vss/SchemeCatalogue.h"
#include "vss/ShareMaker.h"

namespace {
constexpr std::size_t kSide = 1000;

void SchemeShares(benchmark::State& state, SchemeFamily family, int k, int n)
{
    const Scheme scheme = *LookUpScheme({family, k, n, 0}, nullptr);
    const ShareGeometry geometry{kSide, kSide, scheme.promise.blockWidth, scheme.promise.blockHeight};
    std::vector<std::uint8_t> secret(geometry.SecretStride() * kSide);
    std::uint32_t seed = 1;
    for (std::uint8_t& v : secret) {
        seed = seed * 1664525u + 1013904223u;
        v = (seed >> 31) ? 255 : 0;
    }
    std::vector<std::vector<std::uint8_t>> shares(static_cast<std::size_t>(n),
                                                  std::vector<std::uint8_t>(geometry.ShareStride() * geometry.ShareHeight()));
    std::vector<std::uint8_t*> out;
    for (auto& share : shares)
        out.push_back(share.data());
    auto random = CChaChaRandomSource::FromSeed(1);
    auto maker = MakeShareMaker(scheme, kSide, kSide, *random);
    for (auto _ : state) {
        maker->Make(secret.data(), out.data());
        benchmark::DoNotOptimize(out.back());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kSide * kSide));
}
}  // namespace

BENCHMARK_CAPTURE(SchemeShares, NaorShamir_3_3, SchemeFamily::NaorShamir, 3, 3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SchemeShares, NaorShamir_2_4, SchemeFamily::NaorShamir, 2, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SchemeShares, RandomGrid_2_2, SchemeFamily::RandomGrid, 2, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SchemeShares, RandomGrid_3_5, SchemeFamily::RandomGrid, 3, 5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SchemeShares, Probabilistic_3_4, SchemeFamily::Probabilistic, 3, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SchemeShares, Xor_3_5, SchemeFamily::Xor, 3, 5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SchemeShares, RandomGrid_4_8, SchemeFamily::RandomGrid, 4, 8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SchemeShares, NaorShamir_4_4_OrderTable, SchemeFamily::NaorShamir, 4, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SchemeShares, NaorShamir_3_6_Split, SchemeFamily::NaorShamir, 3, 6)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SchemeShares, NaorShamir_5_5_Split, SchemeFamily::NaorShamir, 5, 5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SchemeShares, NaorShamir_6_6_ShuffledThenSplit, SchemeFamily::NaorShamir, 6, 6)->Unit(benchmark::kMillisecond);
