// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Uniform whole numbers below given bounds, several from one 64-bit random word: the word times
// the product of their bounds (Lemire's multiply-and-shift) has them as its digits, each peeled
// off by one multiplication. A word whose low part falls in the short range is drawn again, so
// that every combination of the numbers is equally likely and no number is likelier than another.
// Batches keep their products under 2^56, so a word is drawn again less than once in 256.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class CRandomSource;

class CBatchedDraws {
public:
    // Numbers come in rounds: number i of a round is below bounds[i], at least 1.
    CBatchedDraws(CRandomSource& source, std::vector<std::uint32_t> bounds);

    // How many numbers below `bound` one word gives: a round of that many takes one word.
    static std::size_t PerWord(std::uint32_t bound);

    std::size_t GetRoundSize() const { return m_bounds.size(); }
    // out[0 .. rounds x round size): whole rounds; false when the source runs dry. Numbers of
    // bounds up to 256 fit bytes.
    bool Draw(std::uint8_t* out, std::size_t rounds);
    bool Draw(std::uint32_t* out, std::size_t rounds);

private:
    struct Batch {
        std::size_t first;
        std::size_t count;
        std::uint64_t shortRange;  // 2^64 mod the bounds' product: low parts below it are drawn again
        int bits = 0;              // 1, 2 or 4 where every bound is 2^bits and they fill whole bytes
    };

    template <typename Number>
    bool DrawRounds(Number* out, std::size_t rounds);
    template <std::size_t Lanes, typename Number>
    bool DrawBatch(const Batch& batch, Number* const (&rounds)[Lanes]);
    bool NextWord(std::uint64_t& word);

    CRandomSource& m_source;
    std::vector<std::uint32_t> m_bounds;
    std::vector<Batch> m_batches;
    std::unique_ptr<std::uint8_t[]> m_buffer;
    const std::uint8_t* m_pNext = nullptr;
    const std::uint8_t* m_pEnd = nullptr;
};
