// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/KVTPlayerDoc.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "MessageRecorder.h"
#include "TempDir.h"
#include "TestStreams.h"
#include "framework/CommandIds.h"
#include "io/File.h"
#include "stream/StreamFileCheck.h"

namespace {
std::vector<unsigned char> FileOf(std::int32_t w, std::int32_t h, std::uint16_t frames,
                                  std::array<std::uint16_t, 4> reserved = {0, 0, 0, 0})
{
    auto bytes = HeaderBytes(w, h, frames, static_cast<std::uint32_t>(w * h), reserved);
    for (int i = 0; i < w * h * frames; ++i)
        bytes.push_back(static_cast<unsigned char>(i * 7));
    return bytes;
}

bool SaveEnabled(const CKVTPlayerDoc& doc, int id)
{
    CCmdUI ui(id);
    EXPECT_TRUE(doc.OnUpdateCommand(ui));
    return ui.IsEnabled();
}
}  // namespace

TEST(KVTPlayerDoc, ALoadedFileSavedUnderANewNameIsByteForByteTheSame)
{
    MessageRecorder messages;
    TempDir dir;
    const auto original = FileOf(5, 3, 4, {1, 2, 3, 4});
    WriteBytes(dir / "in.kvt", original);

    CKVTPlayerDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(dir / "in.kvt"));
    ASSERT_NE(doc.m_pStream, nullptr);
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(doc.OnSaveDocument(dir / "out.kvt"));
    EXPECT_EQ(ReadBytes(dir / "out.kvt"), original);
    EXPECT_TRUE(messages.Messages().empty());
}

TEST(KVTPlayerDoc, AFramelessStreamSavesNothingAndKeepsTheTarget)
{
    MessageRecorder messages;
    TempDir dir;
    WriteBytes(dir / "empty.kvt", HeaderBytes(4, 4, 0, 16));
    const auto precious = FileOf(2, 2, 1);
    WriteBytes(dir / "target.kvt", precious);

    CKVTPlayerDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(dir / "empty.kvt"));
    ASSERT_NE(doc.m_pStream, nullptr);
    EXPECT_FALSE(doc.m_pStream->HasFrames());
    EXPECT_FALSE(doc.OnSaveDocument(dir / "target.kvt"));
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"File save error"});
    EXPECT_EQ(ReadBytes(dir / "target.kvt"), precious);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

TEST(KVTPlayerDoc, ADocumentWithoutAStreamSavesNothingSilently)
{
    MessageRecorder messages;
    TempDir dir;
    const auto precious = FileOf(2, 2, 1);
    WriteBytes(dir / "target.kvt", precious);
    CKVTPlayerDoc doc;
    EXPECT_FALSE(doc.OnSaveDocument(dir / "target.kvt"));
    EXPECT_FALSE(doc.OnSaveDocument(dir / "new.kvt"));
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(ReadBytes(dir / "target.kvt"), precious);
    EXPECT_FALSE(std::filesystem::exists(dir / "new.kvt"));
}

TEST(KVTPlayerDoc, AWrongFileTypeLeavesTheDocumentOpenWithoutAStream)
{
    MessageRecorder messages;
    TempDir dir;
    auto bytes = FileOf(2, 2, 1);
    bytes[0] = 'X';
    WriteBytes(dir / "bad.kvt", bytes);
    CKVTPlayerDoc doc;
    EXPECT_TRUE(doc.OnOpenDocument(dir / "bad.kvt"));
    EXPECT_EQ(doc.m_pStream, nullptr);
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"File Types Error"});
}

TEST(KVTPlayerDoc, AHeaderCutShortFailsTheOpen)
{
    MessageRecorder messages;
    TempDir dir;
    auto bytes = HeaderBytes(2, 2, 1, 4);
    bytes.resize(13);
    WriteBytes(dir / "short.kvt", bytes);
    CKVTPlayerDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument(dir / "short.kvt"));
    EXPECT_FALSE(doc.OnOpenDocument(dir / "missing.kvt"));
    EXPECT_EQ(messages.Messages(), (std::vector<std::string>{"未預期的檔案格式。", "無法開啟文件。"}));
}

TEST(KVTPlayerDoc, AFailedWriteReportsAndLeavesNoFile)
{
    MessageRecorder messages;
    TempDir dir;
    CKVTPlayerDoc doc;
    doc.m_pStream = MakeTaggedStream(3, 3, 1, 9);
    EXPECT_FALSE(doc.OnSaveDocument(dir / "no-such-folder" / "out.kvt"));
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"無法儲存文件。"});
}

TEST(KVTPlayerDoc, SaveAndSaveAsAreOfferedOnlyForASingleStream)
{
    for (int mode : {0, 1, 2, 3}) {
        SCOPED_TRACE(mode);
        CKVTPlayerDoc doc;
        doc.m_nMode = mode;
        EXPECT_EQ(SaveEnabled(doc, cmd::ID_FILE_SAVE), mode == 0);
        EXPECT_EQ(SaveEnabled(doc, cmd::ID_FILE_SAVE_AS), mode == 0);
    }
}

TEST(Document, PathNameGivesTheTitle)
{
    CKVTPlayerDoc doc;
    doc.SetPathName("/tmp/some folder/movie.kvt");
    EXPECT_EQ(doc.GetTitle(), "movie.kvt");
}

TEST(KVTPlayerDoc, TheLoadReadsTheFileTheCheckPassedWhateverTheNameBecomes)
{
    TempDir dir;
    const auto original = FileOf(5, 3, 2);
    for (const bool fifo : {true, false}) {
        WriteBytes(dir / "a.kvt", original);
        CFile file;
        ASSERT_TRUE(CheckStreamFile(dir / "a.kvt", file));
        // Swapped for a pipe that would block the open, or for a file cut short.
        std::filesystem::remove(dir / "a.kvt");
        if (fifo)
            ASSERT_EQ(::mkfifo((dir / "a.kvt").c_str(), 0600), 0);
        else
            WriteBytes(dir / "a.kvt", FileOf(5, 3, 1));
        CKVTPlayerDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(dir / "a.kvt", &file));
        std::filesystem::remove(dir / "a.kvt");
        ASSERT_TRUE(doc.OnSaveDocument(dir / "a.kvt"));
        EXPECT_EQ(ReadBytes(dir / "a.kvt"), original);
    }
}
