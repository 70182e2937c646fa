// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/PermutingShareMaker.h"

#include <cstring>
#include <stdexcept>
#include <utility>

#include "vss/RandomSource.h"

namespace {
constexpr std::size_t kRandomBytes = 64 * 1024;
}

CPermutingShareMaker::CPermutingShareMaker(const Scheme& scheme, ShareGeometry geometry, CRandomSource& random)
    : m_geometry(geometry),
      m_nShares(scheme.choice.n),
      m_random(random),
      m_bytes(new std::uint8_t[kRandomBytes])
{
    const std::size_t m = scheme.white.size();
    const auto bw = static_cast<std::size_t>(geometry.blockWidth);
    const auto bh = static_cast<std::size_t>(geometry.blockHeight);
    if (m < 2 || m > 256 || bw > kCopyBytes || m > bw * bh)
        throw std::invalid_argument("no shuffled blocks for this basis");
    for (std::size_t c = 0; c < m; ++c) {
        m_columns.push_back(static_cast<std::uint16_t>(scheme.white[c] | scheme.black[c] << 8));
        m_reject.push_back(static_cast<std::uint8_t>(256 % (c + 1)));
    }
    m_block.assign((bh - 1) * bw + kCopyBytes, 0);
    m_nRowBytes = geometry.width * bw + kCopyBytes;
    m_cells.assign(bh * m_nRowBytes, 0);
}

bool CPermutingShareMaker::Refill()
{
    if (!m_random.Fill(m_bytes.get(), kRandomBytes))
        return false;
    m_pNext = m_bytes.get();
    m_pEnd = m_pNext + kRandomBytes;
    return true;
}

// Shuffling the last order keeps every order equally likely: each pixel's is uniform on its own.
// Each step draws j in [0, i] from one byte, by multiply and shift, again where the product's low
// byte falls in the short range, so that no j is likelier than another.
bool CPermutingShareMaker::ShuffleRow(const std::uint8_t* secret)
{
    const std::size_t m = m_columns.size();
    const auto bw = static_cast<std::size_t>(m_geometry.blockWidth);
    const auto bh = static_cast<std::size_t>(m_geometry.blockHeight);
    std::uint16_t* columns = m_columns.data();
    std::uint8_t* block = m_block.data();
    for (std::size_t x = 0; x < m_geometry.width; ++x) {
        for (std::size_t i = m - 1; i > 0; --i) {
            const auto bound = static_cast<std::uint32_t>(i + 1);
            std::uint32_t product = 0;
            do {
                if (m_pNext == m_pEnd && !Refill())
                    return false;
                product = std::uint32_t{*m_pNext++} * bound;
            } while ((product & 0xFF) < m_reject[i]);
            std::swap(columns[i], columns[product >> 8]);
        }
        const int shift = secret[x] == 0 ? 8 : 0;
        for (std::size_t c = 0; c < m; ++c)
            block[c] = static_cast<std::uint8_t>(columns[c] >> shift);
        std::uint8_t* cells = m_cells.data() + x * bw;
        for (std::size_t r = 0; r < bh; ++r)
            std::memcpy(cells + r * m_nRowBytes, block + r * bw, kCopyBytes);
    }
    return true;
}

bool CPermutingShareMaker::MakeBand(const std::uint8_t* secret, std::size_t y, std::size_t rows,
                                    std::uint8_t* const* shares)
{
    const std::size_t stride = m_geometry.ShareStride();
    const auto bh = static_cast<std::size_t>(m_geometry.blockHeight);
    const std::size_t rowBytes = m_geometry.ShareWidth();
    for (std::size_t row = 0; row < rows; ++row) {
        if (!ShuffleRow(secret + (y + row) * m_geometry.SecretStride()))
            return false;
        for (int share = 0; share < m_nShares; ++share)
            for (std::size_t r = 0; r < bh; ++r) {
                const std::uint8_t* cells = m_cells.data() + r * m_nRowBytes;
                std::uint8_t* out = shares[share] + (row * bh + r) * stride;
                for (std::size_t i = 0; i < rowBytes; ++i)
                    out[i] = static_cast<std::uint8_t>((cells[i] >> share & 1) - 1);  // black 0, white 255
            }
    }
    return true;
}

bool CPermutingShareMaker::Make(const std::uint8_t* secret, std::uint8_t* const* shares)
{
    return MakeBand(secret, 0, m_geometry.height, shares);
}
