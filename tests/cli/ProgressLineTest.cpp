// SPDX-License-Identifier: GPL-3.0-or-later
// The progress line of long kvt commands, drawn into a string on a clock the test turns.

#include <gtest/gtest.h>

#include <sstream>

#include "MessageRecorder.h"
#include "cli/ProgressLine.h"

using namespace std::chrono_literals;

namespace {
class ProgressLine : public testing::Test {
protected:
    CProgressLine Make(std::uint64_t totalFrames)
    {
        return CProgressLine("Making shadows", totalFrames, out, [this] { return now; });
    }
    // What was drawn since the last call.
    std::string Drawn()
    {
        std::string text = out.str();
        out.str("");
        return text;
    }

    std::ostringstream out;
    CProgressLine::Clock::time_point now{};
};

constexpr const char* kErase = "\r\033[K";
}  // namespace

TEST_F(ProgressLine, ShowsNothingInTheFirstHalfSecondThenFrameSpeedAndTimeLeft)
{
    CProgressLine progress = Make(4);
    now += 400ms;
    progress.Advance(1'000'000);
    EXPECT_EQ(Drawn(), "");
    now += 400ms;  // 2 MB in 0.8 s; 2 frames to go at 0.4 s each
    progress.Advance(1'000'000);
    EXPECT_EQ(Drawn(), std::string(kErase) + "Making shadows: frame 2 of 4, 2.5 MB/s, 0:01 left");
    progress.Finish();
    EXPECT_EQ(Drawn(), kErase);
    now += 1s;
    progress.Advance(1'000'000);
    EXPECT_EQ(Drawn(), "");
}

TEST_F(ProgressLine, RedrawsAtMostTenTimesASecond)
{
    CProgressLine progress = Make(0);
    now += 600ms;
    progress.Advance(0);
    EXPECT_EQ(Drawn(), std::string(kErase) + "Making shadows: frame 1, 0.0 MB/s");
    now += 50ms;
    progress.Advance(0);
    EXPECT_EQ(Drawn(), "");
    now += 50ms;
    progress.Advance(0);
    EXPECT_EQ(Drawn(), std::string(kErase) + "Making shadows: frame 3, 0.0 MB/s");
}

TEST_F(ProgressLine, AMessageErasesTheLineAndReachesTheHookBefore)
{
    MessageRecorder recorder;
    {
        CProgressLine progress = Make(100);
        ShowMessage("before the line");
        now += 1s;
        progress.Advance(10);
        Drawn();
        ShowMessage("File save error");
        EXPECT_EQ(Drawn(), kErase);
    }  // gone without Finish: nothing left on the screen, the hook given back
    EXPECT_EQ(Drawn(), "");
    ShowMessage("after the line");
    EXPECT_EQ(recorder.Messages(),
              (std::vector<std::string>{"before the line", "File save error", "after the line"}));
}

TEST_F(ProgressLine, AQuietLineAndANonTerminalShowNothing)
{
    // Captured, stderr is a file, not a terminal.
    testing::internal::CaptureStderr();
    {
        CProgressLine quiet("Copying", 10, true);
        CProgressLine plain("Copying", 10, false);
        const auto end = CProgressLine::Clock::now() + 700ms;
        while (CProgressLine::Clock::now() < end) {
            quiet.Advance(1);
            plain.Advance(1);
        }
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}
