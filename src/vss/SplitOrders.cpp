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

void LayOutPlain(const CSplitOrders& orders, const CSplitOrders::Tables& tables, const std::uint8_t* secret,
                 std::size_t width, const std::uint32_t* numbers, std::uint8_t* cells, std::size_t rowBytes)
{
    const std::size_t bw = tables.blockWidth;
    const std::size_t cellCount = bw * tables.blockHeight;
    for (std::size_t x = 0; x < width; ++x, numbers += 3) {
        const auto order = orders.Order(numbers);
        const auto& basis = tables.bases[secret[x] == 0];
        for (std::size_t c = 0; c < cellCount; ++c)
            cells[c / bw * rowBytes + x * bw + c % bw] = basis[order[c]];
    }
}

#if defined(__x86_64__)
[[gnu::target("ssse3")]] void LayOutSsse3(const CSplitOrders&, const CSplitOrders::Tables& tables,
                                          const std::uint8_t* secret, std::size_t width,
                                          const std::uint32_t* numbers, std::uint8_t* cells, std::size_t rowBytes)
{
    const std::size_t bw = tables.blockWidth;
    const std::size_t bh = tables.blockHeight;
    const __m128i bases[2] = {_mm_load_si128(reinterpret_cast<const __m128i*>(tables.bases[0].data())),
                              _mm_load_si128(reinterpret_cast<const __m128i*>(tables.bases[1].data()))};
    for (std::size_t x = 0; x < width; ++x, numbers += 3) {
        const __m128i both = _mm_unpacklo_epi64(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&tables.firstOrders[numbers[0]])),
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&tables.restOrders[numbers[1]])));
        const __m128i order = _mm_shuffle_epi8(
            both, _mm_loadu_si128(reinterpret_cast<const __m128i*>(tables.places[numbers[2]].data())));
        const __m128i block = _mm_shuffle_epi8(bases[secret[x] == 0], order);
        for (std::size_t r = 0; r < bh; ++r)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(cells + r * rowBytes + x * bw),
                             _mm_shuffle_epi8(block, _mm_load_si128(reinterpret_cast<const __m128i*>(
                                                         tables.rowParts[r].data()))));
    }
}
#endif

using LayOutFn = void (*)(const CSplitOrders&, const CSplitOrders::Tables&, const std::uint8_t*, std::size_t,
                          const std::uint32_t*, std::uint8_t*, std::size_t);

LayOutFn BestLayOut()
{
#if defined(__x86_64__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("ssse3"))
        return &LayOutSsse3;
#endif
    return &LayOutPlain;
}
}  // namespace

bool CSplitOrders::Fits(std::size_t columns, int blockWidth, int blockHeight)
{
    return columns >= kMinColumns && columns <= kMaxColumns && blockWidth > 0 && blockHeight > 0 &&
           static_cast<std::size_t>(blockWidth) * static_cast<std::size_t>(blockHeight) <= kPlaces;
}

CSplitOrders::CSplitOrders(const std::vector<std::uint8_t>& white, const std::vector<std::uint8_t>& black,
                           int blockWidth, int blockHeight)
{
    const std::size_t m = white.size();
    if (black.size() != m || !Fits(m, blockWidth, blockHeight))
        throw std::invalid_argument("no split orders for this basis");
    m_tables.blockWidth = static_cast<std::size_t>(blockWidth);
    m_tables.blockHeight = static_cast<std::size_t>(blockHeight);
    m_tables.firstOrders = OrdersOf(0, kFirstColumns);
    m_tables.restOrders = OrdersOf(kFirstColumns, m - kFirstColumns);
    // Each set of eight places, in increasing order of their bits: its places take the first
    // order's columns in turn, the other places the rest's.
    for (std::uint32_t set = 0; set < (1u << m); ++set) {
        if (std::popcount(set) != static_cast<int>(kFirstColumns))
            continue;
        std::array<std::uint8_t, kPlaces> places{};
        std::uint8_t inSet = 0, outside = kFirstColumns;
        for (std::size_t p = 0; p < kPlaces; ++p)
            places[p] = static_cast<std::uint8_t>(p >= m ? p : (set >> p & 1) ? inSet++ : outside++);
        m_tables.places.push_back(places);
    }
    for (int colour = 0; colour < 2; ++colour) {
        const std::vector<std::uint8_t>& basis = colour ? black : white;
        m_tables.bases[colour].fill(0);
        std::copy(basis.begin(), basis.end(), m_tables.bases[colour].begin());
    }
    for (std::size_t r = 0; r < kPlaces; ++r)
        for (std::size_t i = 0; i < kPlaces; ++i)
            m_tables.rowParts[r][i] = static_cast<std::uint8_t>(r * m_tables.blockWidth + i < kPlaces
                                                                    ? r * m_tables.blockWidth + i
                                                                    : 0x80);
}

std::vector<std::uint32_t> CSplitOrders::GetBounds() const
{
    return {static_cast<std::uint32_t>(m_tables.firstOrders.size()),
            static_cast<std::uint32_t>(m_tables.restOrders.size()), static_cast<std::uint32_t>(m_tables.places.size())};
}

std::array<std::uint8_t, CSplitOrders::kPlaces> CSplitOrders::Order(const std::uint32_t* numbers) const
{
    std::array<std::uint8_t, kPlaces> both{};
    std::memcpy(both.data(), &m_tables.firstOrders[numbers[0]], sizeof(std::uint64_t));
    std::memcpy(both.data() + sizeof(std::uint64_t), &m_tables.restOrders[numbers[1]], sizeof(std::uint64_t));
    std::array<std::uint8_t, kPlaces> order{};
    const auto& places = m_tables.places[numbers[2]];
    for (std::size_t p = 0; p < kPlaces; ++p)
        order[p] = both[places[p]];
    return order;
}

void CSplitOrders::LayOutRow(const std::uint8_t* secret, std::size_t width, const std::uint32_t* numbers,
                             std::uint8_t* cells, std::size_t rowBytes) const
{
    static const LayOutFn layOut = BestLayOut();
    layOut(*this, m_tables, secret, width, numbers, cells, rowBytes);
}
