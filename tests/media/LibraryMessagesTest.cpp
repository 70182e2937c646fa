// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/LibraryMessages.h"

#include <QtGlobal>
#include <gtest/gtest.h>

#include "MessageRecorder.h"
#include "media/Ffmpeg.h"

namespace {
// An FFmpeg object as the log sees one: its first member names its kind.
struct Component {
    const AVClass* kind;
};
AVClass GifClass()
{
    AVClass kind{};
    kind.class_name = "gif";
    kind.item_name = av_default_item_name;
    kind.version = LIBAVUTIL_VERSION_INT;
    return kind;
}
}  // namespace

TEST(LibraryMessages, EachLibraryLineIsSaidOnceInTheCommandsWords)
{
    MessageRecorder recorder;
    {
        CLibraryMessages messages("kvt import");
        messages.Ignore("allocation limit");
        const AVClass gifClass = GifClass();
        for (int repeat = 0; repeat < 2; ++repeat) {
            qWarning("libpng warning: iCCP: known incorrect sRGB profile");
            qWarning("QImageIOHandler: Rejecting image as it exceeds the current allocation limit of 256 megabytes");
            Component gif{&gifClass};
            av_log(&gif, AV_LOG_ERROR, "dimensions not set\n");
            av_log(&gif, AV_LOG_INFO, "a statistic\n");
            qDebug("chatter");
        }
    }
    EXPECT_EQ(recorder.Messages(),
              (std::vector<std::string>{"kvt import: warning from libpng: iCCP: known incorrect sRGB profile",
                                        "kvt import: warning from FFmpeg's gif: dimensions not set"}));
}
