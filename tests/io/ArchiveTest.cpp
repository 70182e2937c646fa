// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/Archive.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <numeric>

#include "TempDir.h"

using Bytes = std::vector<unsigned char>;

TEST(Archive, ValuesAreLittleEndianOnDisk)
{
    TempDir dir;
    {
        CArchive ar(dir / "v.bin", CArchive::store);
        ar << std::uint16_t{0x0102} << std::uint32_t{0x03040506} << std::int32_t{-2};
        EXPECT_EQ(ar.GetBytesWritten(), 10u);
        EXPECT_TRUE(ar.Close());
    }
    EXPECT_EQ(ReadBytes(dir / "v.bin"), (Bytes{2, 1, 6, 5, 4, 3, 0xFE, 0xFF, 0xFF, 0xFF}));
    CArchive ar(dir / "v.bin", CArchive::load);
    std::uint16_t a = 0;
    std::uint32_t b = 0;
    std::int32_t c = 0;
    ar >> a >> b >> c;
    EXPECT_EQ(a, 0x0102);
    EXPECT_EQ(b, 0x03040506u);
    EXPECT_EQ(c, -2);
}

TEST(Archive, ShortBlockReadReturnsWhatIsThereAndShortValueReadThrows)
{
    TempDir dir;
    WriteBytes(dir / "s.bin", {1, 2, 3});
    CArchive ar(dir / "s.bin", CArchive::load);
    unsigned char block[8] = {};
    EXPECT_EQ(ar.Read(block, 2), 2u);
    std::uint16_t value = 0;
    try {
        ar >> value;
        ADD_FAILURE() << "no end-of-file error";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
    }
    EXPECT_EQ(ar.Read(block, 8), 0u);
}

TEST(Archive, BlocksLargerThanTheBufferRoundTrip)
{
    TempDir dir;
    Bytes data(3'000'001);
    std::iota(data.begin(), data.end(), 0);
    {
        CArchive ar(dir / "big.bin", CArchive::store);
        ar.Write(data.data(), 5);
        ar.Write(data.data() + 5, data.size() - 5);
        EXPECT_TRUE(ar.Close());
    }
    EXPECT_EQ(ReadBytes(dir / "big.bin"), data);
    CArchive ar(dir / "big.bin", CArchive::load);
    Bytes back(data.size() + 10);
    EXPECT_EQ(ar.Read(back.data(), 7), 7u);
    EXPECT_EQ(ar.Read(back.data() + 7, back.size() - 7), data.size() - 7);
    back.resize(data.size());
    EXPECT_EQ(back, data);
}

TEST(Archive, FailedWritesAreReportedByClose)
{
    CArchive full("/dev/full", CArchive::store);
    ASSERT_TRUE(full.IsOpen());
    full << std::uint32_t{1};
    EXPECT_FALSE(full.Close());
    EXPECT_EQ(full.GetWriteError(), ENOSPC);

    TempDir dir;
    CArchive nowhere(dir / "no" / "such" / "dir", CArchive::store);
    EXPECT_FALSE(nowhere.IsOpen());
    EXPECT_FALSE(nowhere.Close());
}

TEST(Archive, FramesWithoutPixelsNeedNoBuffer)
{
    TempDir dir;
    {
        CArchive ar(dir / "f", CArchive::store);
        ar.Write(nullptr, 0);
        ar << std::uint16_t{7};
        EXPECT_TRUE(ar.Close());
    }
    CArchive ar(dir / "f", CArchive::load);
    EXPECT_EQ(ar.Read(nullptr, 0), 0u);
    std::uint16_t value = 0;
    ar >> value;
    EXPECT_EQ(value, 7);
    EXPECT_EQ(ar.Read(nullptr, 0), 0u);
}
