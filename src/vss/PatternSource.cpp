// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/PatternSource.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "vss/ShadowKernels.h"

CLcgPatternSource::CLcgPatternSource(std::uint32_t seed)
    : CLcgPatternSource(seed, shadow_kernels::BestKernels())
{
}

CLcgPatternSource::CLcgPatternSource(std::uint32_t seed, const shadow_kernels::Kernels& kernels)
    : m_nState(seed), m_pKernels(&kernels)
{
}

bool CLcgPatternSource::Fill(std::uint8_t* indices, std::size_t count)
{
    m_nState = m_pKernels->fillLcg(m_nState, indices, count);
    return true;
}

namespace {
// System random bytes per batch: large enough that the system call is rare, small enough for L2.
constexpr std::size_t kBatchBytes = 64 * 1024;

// A byte below 216 = 6^3 is three independent uniform indices (its base-6 digits); the other 40
// bytes are dropped, which keeps every index free of modulo bias. Each entry holds the three
// indices in its low bytes and how many it yields (3 or 0) in its top byte.
constexpr std::array<std::uint32_t, 256> kDigits = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t b = 0; b < 216; ++b)
        t[b] = (b % 6) | (b / 6 % 6) << 8 | (b / 36) << 16 | 3u << 24;
    return t;
}();

}  // namespace

// Each decoded entry writes four bytes, so the index buffer has one byte of slack.
CSecurePatternSource::CSecurePatternSource()
    : m_source(CChaChaRandomSource::FromSystem()),
      m_random(new std::uint8_t[kBatchBytes]), m_indices(new std::uint8_t[3 * kBatchBytes + 1])
{
}

CSecurePatternSource::~CSecurePatternSource() = default;

bool CSecurePatternSource::Refill()
{
    if (!m_source || !m_source->Fill(m_random.get(), kBatchBytes))
        return false;
    std::uint8_t* out = m_indices.get();
    std::size_t n = 0;
    for (std::size_t i = 0; i < kBatchBytes; ++i) {
        const std::uint32_t entry = kDigits[m_random[i]];
        std::memcpy(out + n, &entry, sizeof entry);
        n += entry >> 24;
    }
    m_nBegin = 0;
    m_nEnd = n;
    return true;
}

bool CSecurePatternSource::Fill(std::uint8_t* indices, std::size_t count)
{
    while (count > 0) {
        if (m_nBegin == m_nEnd && !Refill())
            return false;
        const std::size_t n = std::min(count, m_nEnd - m_nBegin);
        std::memcpy(indices, m_indices.get() + m_nBegin, n);
        m_nBegin += n;
        indices += n;
        count -= n;
    }
    return true;
}
