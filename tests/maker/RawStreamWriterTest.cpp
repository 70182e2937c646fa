// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a .kvt file from raw images: the bytes, and what a refusal leaves on disk.

#include "maker/RawStreamWriter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "MessageRecorder.h"
#include "TempDir.h"
#include "TestStreams.h"
#include "maker/ImageSizeRule.h"

namespace fs = std::filesystem;

namespace {
class RawStreamWriter : public testing::Test {
protected:
    // A raw file of `size` bytes, each tag + its offset.
    fs::path Raw(const std::string& name, std::size_t size, unsigned char tag)
    {
        std::vector<unsigned char> bytes(size);
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<unsigned char>(tag + i);
        WriteBytes(dir / name, bytes);
        return dir / name;
    }
    std::vector<std::string> Names() const { return dir.FileNames(); }

    TempDir dir;
    MessageRecorder messages;
};
}  // namespace

TEST_F(RawStreamWriter, ThreeImagesOf320By240MakeTheHeaderAndTheFramesInOrder)
{
    const std::vector<fs::path> raws = {Raw("1.raw", 76800, 1), Raw("2.raw", 76800, 2), Raw("3.raw", 76800, 3)};
    ASSERT_TRUE(WriteRawStream(dir / "out.kvt", 320, 240, raws));
    auto expected = HeaderBytes(320, 240, 3, 76800);
    for (const fs::path& raw : raws) {
        const auto bytes = ReadBytes(raw);
        expected.insert(expected.end(), bytes.begin(), bytes.end());
    }
    const auto written = ReadBytes(dir / "out.kvt");
    EXPECT_EQ(written.size(), 230424u);
    EXPECT_EQ(written, expected);
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(RawStreamWriter, UpTo65535ImagesFitTheFrameCount)
{
    const std::vector<fs::path> raws(65535, Raw("one.raw", 4, 0));
    ASSERT_TRUE(WriteRawStream(dir / "out.kvt", 2, 2, raws));
    const auto written = ReadBytes(dir / "out.kvt");
    ASSERT_EQ(written.size(), 24u + 65535u * 4u);
    EXPECT_EQ(std::vector<unsigned char>(written.begin(), written.begin() + 24), HeaderBytes(2, 2, 65535, 4));
}

TEST_F(RawStreamWriter, RefusalsLeaveAnExistingTargetAndNoTemporaryFile)
{
    const fs::path target = dir / "out.kvt";
    WriteBytes(target, {'o', 'l', 'd'});
    const fs::path good = Raw("good.raw", 6, 0);
    const fs::path shortRaw = Raw("short.raw", 5, 0);
    const fs::path pipe = dir / "pipe.raw";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    struct Case {
        std::vector<fs::path> raws;
        std::string message;
    } cases[] = {
        {{good, dir / "missing.raw"}, "Open File Error"},
        {{good, pipe}, "Open File Error"},
        {{good, shortRaw}, "Image Size not correct: " + shortRaw.string() + " holds 5 bytes, fewer than one 3 x 2 frame"},
        {std::vector<fs::path>(65536, good), "Too many images: a .kvt file holds at most 65535 frames"},
    };
    for (const Case& c : cases) {
        messages.Reset();
        EXPECT_FALSE(WriteRawStream(target, 3, 2, c.raws));
        EXPECT_EQ(messages.Messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(ReadBytes(target), (std::vector<unsigned char>{'o', 'l', 'd'}));
        EXPECT_EQ(Names(), (std::vector<std::string>{"good.raw", "out.kvt", "pipe.raw", "short.raw"}));
    }
}

TEST_F(RawStreamWriter, ATargetThatCannotBeCreatedIsReported)
{
    EXPECT_FALSE(WriteRawStream(dir / "no-such-folder" / "out.kvt", 3, 2, {Raw("good.raw", 6, 0)}));
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"File Create Error"});
}

TEST(RawFileCheck, OnlyTheExactFrameSizeMatches)
{
    TempDir dir;
    WriteBytes(dir / "six.raw", std::vector<unsigned char>(6));
    EXPECT_EQ(CheckRawFile(dir / "six.raw", 6), RawFileFit::matches);
    EXPECT_EQ(CheckRawFile(dir / "six.raw", 5), RawFileFit::wrongSize);
    EXPECT_EQ(CheckRawFile(dir / "six.raw", 7), RawFileFit::wrongSize);
    EXPECT_EQ(CheckRawFile(dir / "none.raw", 6), RawFileFit::unknownSize);
}

TEST(ImageSideRule, IntegersFrom2To1000WithBlanksAroundAreAccepted)
{
    const std::string notInteger = "請輸入一整數.";
    const std::string outOfRange = "請輸入一個在 2 到 1000 之間的整數.";
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"2", std::nullopt},      {"1000", std::nullopt},     {" 320 ", std::nullopt}, {"+7", std::nullopt},
        {"1", outOfRange},        {"1001", outOfRange},       {"0", outOfRange},       {"-5", outOfRange},
        {"99999999999999999999", outOfRange}, {"", notInteger}, {"  ", notInteger},      {"abc", notInteger},
        {"12x", notInteger},      {"3.5", notInteger},        {"-", notInteger},       {"1 2", notInteger},
    };
    for (const auto& [text, refusal] : cases) {
        std::int32_t side = -1;
        EXPECT_EQ(ReadImageSide(text, side), refusal) << '"' << text << '"';
        if (!refusal)
            EXPECT_EQ(side, std::stoi(text)) << text;
        else
            EXPECT_EQ(side, -1) << text;
    }
}
