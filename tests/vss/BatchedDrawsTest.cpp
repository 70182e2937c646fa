// SPDX-License-Identifier: GPL-3.0-or-later
// Several uniform numbers from one random word: the digits of Lemire's draw on their bounds'
// product, a word drawn again where that draw would be biased.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "vss/BatchedDraws.h"
#include "vss/RandomSource.h"

namespace {
// The given words, little-endian, then zeros.
class CWordSource final : public CRandomSource {
public:
    explicit CWordSource(std::vector<std::uint64_t> words) : m_words(std::move(words)) {}
    bool Fill(std::uint8_t* bytes, std::size_t count) override
    {
        std::memset(bytes, 0, count);
        const std::size_t n = std::min(count / 8, m_words.size() - m_nNext);
        std::memcpy(bytes, m_words.data() + m_nNext, n * 8);
        m_nNext += n;
        return true;
    }

private:
    std::vector<std::uint64_t> m_words;
    std::size_t m_nNext = 0;
};

__extension__ using Wide = unsigned __int128;

// Lemire's draw below `bound` from `word`, and whether the word is kept.
std::uint64_t Lemire(std::uint64_t word, std::uint64_t bound, bool& kept)
{
    const Wide x = static_cast<Wide>(word) * bound;
    kept = static_cast<std::uint64_t>(x) >= (0 - bound) % bound;
    return static_cast<std::uint64_t>(x >> 64);
}
}  // namespace

// Bounds 6, 5, 4 share a word: their numbers are the mixed-radix digits of a draw below 120. A word
// whose draw would favour the low numbers (2^64 mod 120 = 16 of its low parts) is drawn again.
TEST(BatchedDraws, NumbersAreTheDigitsOfOneUnbiasedDraw)
{
    const std::uint64_t biased = 0;  // 0 x 120 has low part 0: drawn again
    const std::uint64_t words[] = {0x9E3779B97F4A7C15u, 0x0123456789ABCDEFu, 0xFFFFFFFFFFFFFFFFu};
    for (const std::uint64_t word : words) {
        bool kept = false;
        const std::uint64_t value = Lemire(word, 120, kept);
        ASSERT_TRUE(kept);
        CWordSource source({biased, word});
        CBatchedDraws draws(source, {6, 5, 4});
        std::uint8_t numbers[3] = {};
        ASSERT_TRUE(draws.Draw(numbers, 1));
        EXPECT_EQ(numbers[0], value / 20);
        EXPECT_EQ(numbers[1], value / 4 % 5);
        EXPECT_EQ(numbers[2], value % 4);
    }
    bool kept = true;
    Lemire(biased, 120, kept);
    EXPECT_FALSE(kept);
}

// Products past 2^56 take a word of their own: two bounds of 2^31 are the top bits of a word each,
// a bound of 1 draws 0, and rounds follow each other.
TEST(BatchedDraws, LargeBoundsTakeAWordEachAndRoundsFollowOn)
{
    CWordSource source({0x1111111122222222u, 0x3333333344444444u, 0x5555555566666666u, 0x7777777788888888u});
    CBatchedDraws draws(source, {1u << 31, 1u << 31, 1});
    EXPECT_EQ(draws.GetRoundSize(), 3u);
    std::vector<std::uint32_t> numbers(6);
    ASSERT_TRUE(draws.Draw(numbers.data(), 2));
    EXPECT_EQ(numbers, (std::vector<std::uint32_t>{0x11111111u >> 1, 0x33333333u >> 1, 0, 0x55555555u >> 1,
                                                   0x77777777u >> 1, 0}));
}

// Bounds of 2, 4 and 16 take a word's bits a byte at a time where bytes are asked for: the same
// numbers as the multiplications give.
TEST(BatchedDraws, BitsAreTheNumbersTheMultiplicationsGive)
{
    for (const std::uint32_t bound : {2u, 4u, 16u}) {
        const std::vector<std::uint32_t> bounds(CBatchedDraws::PerWord(bound), bound);
        auto bytes = CChaChaRandomSource::FromSeed(bound);
        auto words = CChaChaRandomSource::FromSeed(bound);
        CBatchedDraws fromBytes(*bytes, bounds), fromWords(*words, bounds);
        std::vector<std::uint8_t> small(5 * bounds.size());
        std::vector<std::uint32_t> wide(5 * bounds.size());
        ASSERT_TRUE(fromBytes.Draw(small.data(), 5));
        ASSERT_TRUE(fromWords.Draw(wide.data(), 5));
        EXPECT_TRUE(std::equal(small.begin(), small.end(), wide.begin())) << bound;
    }
}
