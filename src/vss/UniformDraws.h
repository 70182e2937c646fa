// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Uniform whole numbers below a bound from a random source, without modulo bias: Lemire's
// multiply-and-shift, a draw rejected where the product's low part falls in the short range.
// Bytes serve bounds up to 256, 16-bit words the rest.

#include <cstddef>
#include <cstdint>
#include <memory>

class CRandomSource;

class CUniformDraws {
public:
    explicit CUniformDraws(CRandomSource& source);

    // out[0..count) uniform in [0, bound), 1 <= bound <= 65536; false when the source runs dry.
    bool Draw(std::uint16_t* out, std::size_t count, std::uint32_t bound);

private:
    bool Take(std::size_t bytes);  // makes `bytes` random bytes available at m_pNext

    CRandomSource& m_source;
    std::unique_ptr<std::uint8_t[]> m_buffer;
    const std::uint8_t* m_pNext = nullptr;
    const std::uint8_t* m_pEnd = nullptr;
};
