// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/SplitOrders.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <numeric>
#include <stdexcept>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {
constexpr std::size_t kFirstColumns = 8;

// Every order of `count` bytes valued from `first` on, in lexicographic order, each in the low
// bytes of a word whose higher bytes hold their own places (first + count on).
std::vector<std::uint64_t> OrdersOf(std::size_t first, std::size_t count)
{
    std::array<std::uint8_t, sizeof(std::uint64_t)> bytes{};
    std::iota(bytes.begin(), bytes.end(), static_cast<std::uint8_t>(first));
    std::vector<std::uint64_t> orders;
    do {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data(), sizeof word);
        orders.push_back(word);
    } while (std::next_permutation(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count)));
    return orders;
}

std::array<std::uint8_t, CSplitOrders::kPlaces> OrderOf(const CSplitOrders::Tables& tables,
                                                        const std::uint32_t* numbers)
{
    std::array<std::uint8_t, CSplitOrders::kPlaces> both{};
    std::memcpy(both.data(), &tables.firstOrders[numbers[0]], sizeof(std::uint64_t));
    std::memcpy(both.data() + sizeof(std::uint64_t), &tables.restOrders[numbers[1]], sizeof(std::uint64_t));
    std::array<std::uint8_t, CSplitOrders::kPlaces> order{};
    const auto& places = tables.places[numbers[2]];
    for (std::size_t p = 0; p < order.size(); ++p)
        order[p] = both[places[p]];
    return order;
}

void ShufflePlain(const CSplitOrders::Tables& tables, const std::uint32_t* numbers, std::uint8_t* blocks,
                  std::size_t stride, std::size_t count)
{
    for (std::size_t x = 0; x < count; ++x, numbers += 3, blocks += stride) {
        const auto order = OrderOf(tables, numbers);
        std::array<std::uint8_t, CSplitOrders::kPlaces> old;
        std::memcpy(old.data(), blocks, old.size());
        for (std::size_t p = 0; p < old.size(); ++p)
            blocks[p] = old[order[p]];
    }
}

#if defined(__x86_64__)
[[gnu::target("ssse3")]] void ShuffleSsse3(const CSplitOrders::Tables& tables, const std::uint32_t* numbers,
                                           std::uint8_t* blocks, std::size_t stride, std::size_t count)
{
    for (std::size_t x = 0; x < count; ++x, numbers += 3, blocks += stride) {
        const __m128i both = _mm_unpacklo_epi64(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&tables.firstOrders[numbers[0]])),
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&tables.restOrders[numbers[1]])));
        const __m128i order = _mm_shuffle_epi8(
            both, _mm_loadu_si128(reinterpret_cast<const __m128i*>(tables.places[numbers[2]].data())));
        auto* block = reinterpret_cast<__m128i*>(blocks);
        _mm_storeu_si128(block, _mm_shuffle_epi8(_mm_loadu_si128(block), order));
    }
}
#endif

using ShuffleFn = void (*)(const CSplitOrders::Tables&, const std::uint32_t*, std::uint8_t*, std::size_t,
                           std::size_t);

ShuffleFn BestShuffle()
{
#if defined(__x86_64__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("ssse3"))
        return &ShuffleSsse3;
#endif
    return &ShufflePlain;
}
}  // namespace

CSplitOrders::CSplitOrders(std::size_t columns)
{
    const std::size_t m = columns;
    if (m < kMinColumns || m > kPlaces)
        throw std::invalid_argument("no split orders of this many columns");
    m_tables.firstOrders = OrdersOf(0, kFirstColumns);
    m_tables.restOrders = OrdersOf(kFirstColumns, m - kFirstColumns);
    // Each set of eight places, in increasing order of their bits: its places take the first
    // order's things in turn, the other places the rest's.
    for (std::uint32_t set = 0; set < (1u << m); ++set) {
        if (std::popcount(set) != static_cast<int>(kFirstColumns))
            continue;
        std::array<std::uint8_t, kPlaces> places{};
        std::uint8_t inSet = 0, outside = kFirstColumns;
        for (std::size_t p = 0; p < kPlaces; ++p)
            places[p] = static_cast<std::uint8_t>(p >= m ? p : (set >> p & 1) ? inSet++ : outside++);
        m_tables.places.push_back(places);
    }
}

std::vector<std::uint32_t> CSplitOrders::GetBounds() const
{
    return {static_cast<std::uint32_t>(m_tables.firstOrders.size()),
            static_cast<std::uint32_t>(m_tables.restOrders.size()), static_cast<std::uint32_t>(m_tables.places.size())};
}

std::array<std::uint8_t, CSplitOrders::kPlaces> CSplitOrders::Order(const std::uint32_t* numbers) const
{
    return OrderOf(m_tables, numbers);
}

void CSplitOrders::Shuffle(const std::uint32_t* numbers, std::uint8_t* blocks, std::size_t stride,
                           std::size_t count) const
{
    static const ShuffleFn shuffle = BestShuffle();
    shuffle(m_tables, numbers, blocks, stride, count);
}
