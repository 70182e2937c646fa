#pragma once
// Where the shadow generator gets its pattern indices (0..5), one per secret pixel in row order.

#include <cstddef>
#include <cstdint>

class CPatternSource {
public:
    virtual ~CPatternSource() = default;
    // Fills indices[0..count) with the next count pattern indices.
    virtual void Fill(std::uint8_t* indices, std::size_t count) = 0;
};

// The classic 32-bit linear congruential generator: state = state * 214013 + 2531011, draw =
// (state >> 16) & 0x7FFF, index = draw % 6. The same seed gives the same shadows bit for bit.
class CLcgPatternSource final : public CPatternSource {
public:
    explicit CLcgPatternSource(std::uint32_t seed) : m_nState(seed) {}
    std::uint32_t Draw()
    {
        m_nState = m_nState * 214013u + 2531011u;
        return (m_nState >> 16) & 0x7FFF;
    }
    void Fill(std::uint8_t* indices, std::size_t count) override;

private:
    std::uint32_t m_nState;
};
