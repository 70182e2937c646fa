// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/UniformDraws.h"

#include <cstring>

#include "vss/RandomSource.h"

namespace {
constexpr std::size_t kBufferBytes = 16 * 1024;
}

CUniformDraws::CUniformDraws(CRandomSource& source) : m_source(source), m_buffer(new std::uint8_t[kBufferBytes])
{
}

bool CUniformDraws::Take(std::size_t bytes)
{
    if (static_cast<std::size_t>(m_pEnd - m_pNext) >= bytes)
        return true;
    if (!m_source.Fill(m_buffer.get(), kBufferBytes))
        return false;
    m_pNext = m_buffer.get();
    m_pEnd = m_pNext + kBufferBytes;
    return true;
}

bool CUniformDraws::Draw(std::uint16_t* out, std::size_t count, std::uint32_t bound)
{
    if (bound == 1) {
        std::memset(out, 0, count * sizeof *out);
        return true;
    }
    const bool bytes = bound <= 256;
    const std::uint32_t bits = bytes ? 8 : 16;
    const std::uint32_t low = (1u << bits) - 1;
    const std::uint32_t reject = (1u << bits) % bound;
    std::size_t i = 0;
    while (i < count) {
        if (!Take(bytes ? 1 : 2))
            return false;
        // As many draws as the buffer holds, without a check per draw.
        const std::uint8_t* p = m_pNext;
        const std::size_t words = static_cast<std::size_t>(m_pEnd - p) / (bytes ? 1 : 2);
        for (std::size_t w = 0; w < words && i < count; ++w) {
            const std::uint32_t r = bytes ? p[w] : std::uint32_t{p[2 * w]} | std::uint32_t{p[2 * w + 1]} << 8;
            const std::uint32_t x = r * bound;
            out[i] = static_cast<std::uint16_t>(x >> bits);
            i += (x & low) >= reject;
            m_pNext = p + (w + 1) * (bytes ? 1 : 2);
        }
    }
    return true;
}
