// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PictureSetSink.h"

#include <QImage>
#include <gtest/gtest.h>

#include "GreyFrames.h"
#include "TempDir.h"

namespace {
std::vector<std::string> Names(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
}  // namespace

TEST(PictureSetSink, ThePicturesAppearTogetherAtFinish)
{
    TempDir dir;
    CPictureSetSink sink(dir.Path(), *CNumberedName::Parse("f%02d.png"), "png");
    ASSERT_TRUE(sink.Open(4, 5));
    ASSERT_TRUE(sink.Write(MakeGreyFrame(4), 4));
    ASSERT_TRUE(sink.Write(MakeGreyFrame(5), 5));
    EXPECT_EQ(Names(dir.Path()).size(), 1u);  // the hidden folder only
    ASSERT_TRUE(sink.Finish());
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"f04.png", "f05.png"}));
    EXPECT_EQ(QImage(QString::fromStdString((dir / "f05.png").string())), MakeGreyFrame(5));
}

TEST(PictureSetSink, AnUnfinishedSetLeavesTheOldFilesAndNothingElse)
{
    TempDir dir;
    WriteBytes(dir / "f00.pgm", {'o', 'l', 'd'});
    {
        CPictureSetSink sink(dir.Path(), *CNumberedName::Parse("f%02d.pgm"), "pgm");
        ASSERT_TRUE(sink.Open(0, 1));
        ASSERT_TRUE(sink.Write(MakeGreyFrame(0), 0));
    }
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"f00.pgm"});
    EXPECT_EQ(ReadBytes(dir / "f00.pgm"), (std::vector<unsigned char>{'o', 'l', 'd'}));
}

TEST(PictureSetSink, RefusesANameHeldByAFolderBeforeWritingAnything)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "f01.png");
    {
        CPictureSetSink sink(dir.Path(), *CNumberedName::Parse("f%02d.png"), "png");
        EXPECT_FALSE(sink.Open(0, 2));
        EXPECT_NE(sink.GetError().find("f01.png: not a regular file"), std::string::npos) << sink.GetError();
    }
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"f01.png"});
}
