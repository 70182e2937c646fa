// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/KeyShare.h"

#include <gtest/gtest.h>

#include <vector>

using namespace key_share;

namespace {
// A 3 x 2 secret's key: 6 x 4 subpixels in rows of 8 bytes, each block one of two-black patterns.
std::vector<std::uint8_t> Key()
{
    return {0,   255, 255, 0,   0,   0,   0, 0,  //
            0,   255, 0,   255, 255, 255, 0, 0,  //
            255, 255, 0,   255, 255, 0,   0, 0,  //
            0,   0,   255, 0,   0,   255, 0, 0};
}
}  // namespace

TEST(KeyShare, WhitePixelsKeepTheKeysBlockAndBlackOnesTakeItsComplement)
{
    const std::vector<std::uint8_t> secret = {0, 255, 1, 0, /**/ 255, 0, 0, 0};  // stride 4
    const std::vector<std::uint8_t> key = Key();
    ASSERT_FALSE(FindKeyFault(key.data(), 3, 2));
    std::vector<std::uint8_t> share(key.size(), 0);
    MakeKeyedShare(secret.data(), 3, 2, 4, key.data(), share.data());
    for (std::size_t y = 0; y < 4; ++y) {
        for (std::size_t x = 0; x < 8; ++x) {
            const std::size_t i = y * 8 + x;
            if (x >= 6) {
                EXPECT_EQ(share[i], 0) << "alignment byte " << i;
                continue;
            }
            const bool black = secret[y / 2 * 4 + x / 2] == 0;
            EXPECT_EQ(share[i], black ? 255 - key[i] : key[i]) << "subpixel " << i;
            // Stacked with the key: black where the secret is black, half black where white.
            EXPECT_EQ(share[i] == 0 || key[i] == 0, black || key[i] == 0);
        }
    }
}

TEST(KeyShare, TheFirstBlockThatIsNoShareBlockIsNamed)
{
    std::vector<std::uint8_t> key = Key();
    key[8 * 2 + 4] = 0;  // block (2, 1): three black
    key[8 * 3 + 3] = 128;  // block (1, 1): grey
    auto fault = FindKeyFault(key.data(), 3, 2);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->blockX, 1u);
    EXPECT_EQ(fault->blockY, 1u);
    EXPECT_EQ(fault->what, "grey 128 where a share holds only black and white");
    key[8 * 3 + 3] = 0;  // block (1, 1) as it was
    fault = FindKeyFault(key.data(), 3, 2);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->blockX, 2u);
    EXPECT_EQ(fault->what, "3 of its 4 subpixels black, where a first share has 2");
}
