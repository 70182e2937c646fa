// SPDX-License-Identifier: GPL-3.0-or-later
#include "shares/KeyRandomness.h"

#include <array>
#include <boost/math/special_functions/gamma.hpp>
#include <cstdio>
#include <vector>

namespace {
// The index (0..5) of a block with two of its four subpixels black, by its mask of black subpixels.
constexpr std::array<int, 16> kPatternOf = {-1, -1, -1, 0, -1, 1, 2, -1, -1, 3, 4, -1, 5, -1, -1, -1};
constexpr int kPatterns = 6;
// Chi-square wants each cell expected five times at least.
constexpr std::uint64_t kLeastExpected = 5;

// The p-value of equal chances for every cell given the counts, or nothing when too few to judge.
std::optional<double> UniformityP(const std::vector<std::uint64_t>& counts)
{
    std::uint64_t total = 0;
    for (std::uint64_t c : counts)
        total += c;
    if (total < kLeastExpected * counts.size())
        return std::nullopt;
    const double expected = static_cast<double>(total) / static_cast<double>(counts.size());
    double statistic = 0;
    for (std::uint64_t c : counts)
        statistic += (static_cast<double>(c) - expected) * (static_cast<double>(c) - expected) / expected;
    return boost::math::gamma_q(static_cast<double>(counts.size() - 1) / 2, statistic / 2);
}

std::string Refusal(double p, const char* what)
{
    char text[160];
    std::snprintf(text, sizeof text, "its blocks are not uniformly random (chi-square p = %.3g over %s)", p, what);
    return std::string(text) + ": share 2 made against it would show the secret alone; use a first share that "
                               "kvt shadows made";
}
}  // namespace

std::optional<std::string> KeyRandomnessFault(const std::uint8_t* key, std::size_t width, std::size_t height)
{
    const std::size_t stride = (2 * width + 3) / 4 * 4;
    std::vector<std::uint64_t> singles(kPatterns), pairs(kPatterns * kPatterns);
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* top = key + 2 * y * stride;
        const std::uint8_t* bottom = top + stride;
        int left = 0;
        for (std::size_t x = 0; x < width; ++x) {
            const unsigned mask = (top[2 * x] == 0) | (top[2 * x + 1] == 0) << 1 | (bottom[2 * x] == 0) << 2 |
                                  (bottom[2 * x + 1] == 0) << 3;
            const int pattern = kPatternOf[mask];
            ++singles[static_cast<std::size_t>(pattern)];
            // Pairs that share no block, so that their counts are independent draws.
            if (x % 2 == 1)
                ++pairs[static_cast<std::size_t>(left * kPatterns + pattern)];
            left = pattern;
        }
    }
    if (const auto p = UniformityP(singles); p && *p < kKeyRandomnessLevel)
        return Refusal(*p, "the 6 patterns of a block");
    if (const auto p = UniformityP(pairs); p && *p < kKeyRandomnessLevel)
        return Refusal(*p, "the 36 patterns of two neighbouring blocks");
    return std::nullopt;
}
