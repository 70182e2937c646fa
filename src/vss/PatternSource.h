// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the shadow generator gets its pattern indices (0..5), one per secret pixel in row order.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "vss/RandomSource.h"

namespace shadow_kernels {
struct Kernels;
}

class CPatternSource {
public:
    virtual ~CPatternSource() = default;
    // Fills indices[0..count) with the next count pattern indices; false when no more can be had.
    virtual bool Fill(std::uint8_t* indices, std::size_t count) = 0;
};

// The classic 32-bit linear congruential generator: state = state * 214013 + 2531011, draw =
// (state >> 16) & 0x7FFF, index = draw % 6. The same seed gives the same shadows bit for bit, so it
// serves repeatable experiments; a shadow made with it does not keep its secret from anyone who
// searches the 2^32 seeds.
class CLcgPatternSource final : public CPatternSource {
public:
    static constexpr std::uint32_t kMultiplier = 214013u;
    static constexpr std::uint32_t kIncrement = 2531011u;

    // Fills with the fastest kernels this CPU runs, or with the ones given.
    explicit CLcgPatternSource(std::uint32_t seed);
    CLcgPatternSource(std::uint32_t seed, const shadow_kernels::Kernels& kernels);

    std::uint32_t Draw()
    {
        m_nState = m_nState * kMultiplier + kIncrement;
        return (m_nState >> 16) & 0x7FFF;
    }
    bool Fill(std::uint8_t* indices, std::size_t count) override;

private:
    std::uint32_t m_nState;
    const shadow_kernels::Kernels* m_pKernels;
};

// Indices uniform over 0..5 from a ChaCha20 stream keyed by the system's cryptographic generator,
// taken in large batches. Shadows made with it reveal nothing of the secret one at a time; no two
// runs agree.
class CSecurePatternSource final : public CPatternSource {
public:
    CSecurePatternSource();
    ~CSecurePatternSource() override;
    CSecurePatternSource(const CSecurePatternSource&) = delete;
    CSecurePatternSource& operator=(const CSecurePatternSource&) = delete;

    // False only when the system gives no random bytes at all.
    bool Fill(std::uint8_t* indices, std::size_t count) override;

private:
    bool Refill();

    std::unique_ptr<CRandomSource> m_source;    // null when the system gave no key
    std::unique_ptr<std::uint8_t[]> m_random;   // one batch of random bytes
    std::unique_ptr<std::uint8_t[]> m_indices;  // indices decoded from it, not yet handed out
    std::size_t m_nBegin = 0;
    std::size_t m_nEnd = 0;
};
