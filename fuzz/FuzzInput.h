// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fuzzer's bytes taken a value at a time; once they run out every value is 0.

#include <cstddef>
#include <cstdint>
#include <string>

#include "vss/RandomSource.h"

class CFuzzInput {
public:
    CFuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint8_t Byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    // A value from low to high, both included.
    int Between(int low, int high) { return low + Byte() % (high - low + 1); }
    double Double()
    {
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits = bits << 8 | Byte();
        double value = 0;
        static_assert(sizeof value == sizeof bits);
        __builtin_memcpy(&value, &bits, sizeof value);
        return value;
    }
    // Up to `limit` bytes, ended early by a 0 byte.
    std::string Text(std::size_t limit)
    {
        std::string text;
        while (text.size() < limit && m_at < m_size && m_data[m_at] != 0)
            text += static_cast<char>(m_data[m_at++]);
        ++m_at;
        return text;
    }
    std::size_t Left() const { return m_at < m_size ? m_size - m_at : 0; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

// The rest of the fuzzer's bytes as the random source of a share maker: it runs dry with them.
class CFuzzRandom final : public CRandomSource {
public:
    explicit CFuzzRandom(CFuzzInput& input) : m_input(input) {}
    bool Fill(std::uint8_t* bytes, std::size_t count) override
    {
        if (m_input.Left() < count)
            return false;
        for (std::size_t i = 0; i < count; ++i)
            bytes[i] = m_input.Byte();
        return true;
    }

private:
    CFuzzInput& m_input;
};
