// SPDX-License-Identifier: GPL-3.0-or-later
#include "stream/StreamFileCheck.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "KvtBytes.h"
#include "MessageRecorder.h"
#include "TempDir.h"
#include "io/File.h"

using Messages = std::vector<std::string>;

namespace {
bool CheckPath(const std::filesystem::path& path)
{
    CFile file;
    return CheckStreamFile(path, file);
}

// The messages the check shows for a file of these bytes (none when it passes).
Messages Check(const FileBytes& bytes, bool expectPass)
{
    TempDir dir;
    WriteBytes(dir / "f.kvt", bytes);
    MessageRecorder messages;
    EXPECT_EQ(CheckPath(dir / "f.kvt"), expectPass);
    return messages.Messages();
}
}  // namespace

TEST(StreamFileCheck, WellFormedFilesPass)
{
    EXPECT_TRUE(Check(Header(3, 2, 1) + FileBytes(6, 0), true).empty());
    EXPECT_TRUE(Check(Header(1000, 1, 3) + FileBytes(3000, 0), true).empty());
    // Frame count 0: 24 bytes whatever the frame size says.
    EXPECT_TRUE(Check(Header({3, 2, 0, 123456}), true).empty());
    // Only count x frame size is compared: frame size 4 against 3 x 2 pixels, 28 bytes.
    EXPECT_TRUE(Check(Header({3, 2, 1, 4}) + FileBytes(4, 0), true).empty());
    // Width and height are not looked at.
    EXPECT_TRUE(Check(Header({-5, -7, 1, 2}) + FileBytes(2, 0), true).empty());
}

TEST(StreamFileCheck, WrongFileTypeIsTheLowerCaseMessage)
{
    const Messages expected{"File types error"};
    EXPECT_EQ(Check(Header({3, 2, 1, 6, {}, 'K', 'X'}) + FileBytes(6, 0), false), expected);
    EXPECT_EQ(Check(Header({3, 2, 1, 6, {}, 'X', 'V'}) + FileBytes(6, 0), false), expected);
    EXPECT_EQ(Check(Header({3, 2, 1, 6, {}, 'k', 'v'}) + FileBytes(6, 0), false), expected);
    EXPECT_EQ(Check({}, false), expected);     // both type bytes read as 0
    EXPECT_EQ(Check({'K'}, false), expected);  // the second one as 0
}

TEST(StreamFileCheck, SizeOtherThanTheHeaderSaysDoesNotMatch)
{
    const Messages expected{"File size not match"};
    EXPECT_EQ(Check(Header(3, 2, 1) + FileBytes(5, 0), false), expected);
    EXPECT_EQ(Check(Header(3, 2, 1) + FileBytes(7, 0), false), expected);
    EXPECT_EQ(Check(Header(3, 2, 2) + FileBytes(6, 0), false), expected);
    // "KV" alone: size and count read as 0, so 24 bytes are expected.
    EXPECT_EQ(Check({'K', 'V'}, false), expected);
    // 65535 frames of 4 GiB - 1 bytes: the product needs more than 32 bits.
    EXPECT_EQ(Check(Header({1, 1, 65535, 0xFFFFFFFF}), false), expected);
}

TEST(StreamFileCheck, FileThatCannotBeOpenedIsACreateDocumentError)
{
    TempDir dir;
    MessageRecorder messages;
    EXPECT_FALSE(CheckPath(dir / "missing.kvt"));
    EXPECT_FALSE(CheckPath(dir.Path()));  // a folder
    // A named pipe without a writer: refused at once rather than waited on.
    ASSERT_EQ(::mkfifo((dir / "pipe.kvt").c_str(), 0600), 0);
    EXPECT_FALSE(CheckPath(dir / "pipe.kvt"));
    EXPECT_EQ(messages.Messages(), (Messages(3, "Create document error")));
}
