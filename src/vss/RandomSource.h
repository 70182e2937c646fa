// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the schemes get their random bits: uniform bytes from a ChaCha20 keystream (libsodium),
// keyed either from the system's cryptographic generator or from a seed. One interface, so that a
// maker never knows whether its shares are repeatable.

#include <cstddef>
#include <cstdint>
#include <memory>

class CRandomSource {
public:
    virtual ~CRandomSource() = default;
    // Fills bytes[0..count) with the next count uniform bytes; false when none can be had.
    virtual bool Fill(std::uint8_t* bytes, std::size_t count) = 0;
};

class CChaChaRandomSource final : public CRandomSource {
public:
    static constexpr std::size_t kKeyBytes = 32;

    // Keyed from getrandom: no two runs agree, and the shares keep their secret. Null when
    // libsodium, which reads the system's generator, can't start.
    static std::unique_ptr<CChaChaRandomSource> FromSystem();
    // Keyed from a hash of the seed: the same seed gives the same bytes, so anyone who searches the
    // seeds can repeat them.
    static std::unique_ptr<CChaChaRandomSource> FromSeed(std::uint32_t seed);

    ~CChaChaRandomSource() override;
    CChaChaRandomSource(const CChaChaRandomSource&) = delete;
    CChaChaRandomSource& operator=(const CChaChaRandomSource&) = delete;

    bool Fill(std::uint8_t* bytes, std::size_t count) override;

private:
    explicit CChaChaRandomSource(const std::uint8_t (&key)[kKeyBytes]);
    void Refill();

    std::uint8_t m_key[kKeyBytes];
    std::uint64_t m_nBatch = 0;                 // the nonce of the next batch: each is used once
    std::unique_ptr<std::uint8_t[]> m_buffer;   // one batch of keystream
    std::size_t m_nBegin = 0;                   // bytes of it already handed out
};
