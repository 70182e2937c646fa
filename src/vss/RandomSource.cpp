// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/RandomSource.h"

#include <algorithm>
#include <cstring>

#include <sodium.h>

namespace {
// Keystream per batch: large enough that the call is rare, small enough to stay in L2.
constexpr std::size_t kBatchBytes = 64 * 1024;
}  // namespace

std::unique_ptr<CChaChaRandomSource> CChaChaRandomSource::FromSystem()
{
    std::uint8_t key[kKeyBytes];
    if (sodium_init() < 0)
        return nullptr;
    randombytes_buf(key, sizeof key);  // the kernel's getrandom on Linux
    std::unique_ptr<CChaChaRandomSource> source(new CChaChaRandomSource(key));
    sodium_memzero(key, sizeof key);
    return source;
}

std::unique_ptr<CChaChaRandomSource> CChaChaRandomSource::FromSeed(std::uint32_t seed)
{
    if (sodium_init() < 0)
        return nullptr;
    // The seed's four bytes, little-endian, hashed under a label of this program's own, so that
    // the key has no structure a seed of 0 or 1 would show.
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(seed), static_cast<std::uint8_t>(seed >> 8),
                                   static_cast<std::uint8_t>(seed >> 16), static_cast<std::uint8_t>(seed >> 24)};
    static constexpr char kLabel[] = "KVTPlayer seeded shares";
    std::uint8_t key[kKeyBytes];
    crypto_generichash(key, sizeof key, bytes, sizeof bytes, reinterpret_cast<const unsigned char*>(kLabel),
                       sizeof kLabel - 1);
    return std::unique_ptr<CChaChaRandomSource>(new CChaChaRandomSource(key));
}

CChaChaRandomSource::CChaChaRandomSource(const std::uint8_t (&key)[kKeyBytes])
    : m_buffer(new std::uint8_t[kBatchBytes]), m_nBegin(kBatchBytes)
{
    std::memcpy(m_key, key, sizeof m_key);
}

CChaChaRandomSource::~CChaChaRandomSource()
{
    sodium_memzero(m_key, sizeof m_key);
}

void CChaChaRandomSource::Refill()
{
    static_assert(crypto_stream_chacha20_NONCEBYTES == sizeof m_nBatch);
    static_assert(crypto_stream_chacha20_KEYBYTES == kKeyBytes);
    std::uint8_t nonce[sizeof m_nBatch];
    for (std::size_t i = 0; i < sizeof nonce; ++i)
        nonce[i] = static_cast<std::uint8_t>(m_nBatch >> (8 * i));
    ++m_nBatch;
    crypto_stream_chacha20(m_buffer.get(), kBatchBytes, nonce, m_key);
    m_nBegin = 0;
}

bool CChaChaRandomSource::Fill(std::uint8_t* bytes, std::size_t count)
{
    while (count > 0) {
        if (m_nBegin == kBatchBytes)
            Refill();
        const std::size_t n = std::min(count, kBatchBytes - m_nBegin);
        std::memcpy(bytes, m_buffer.get() + m_nBegin, n);
        m_nBegin += n;
        bytes += n;
        count -= n;
    }
    return true;
}
