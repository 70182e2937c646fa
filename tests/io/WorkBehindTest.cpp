// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/WorkBehind.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "io/Message.h"

namespace {
// Records the messages shown and the threads they were shown on.
struct ShownMessages {
    std::vector<std::string> texts;
    std::vector<std::thread::id> threads;
    MessageHook previous = SetMessageHook([this](const std::string& text) {
        texts.push_back(text);
        threads.push_back(std::this_thread::get_id());
    });
    ~ShownMessages() { SetMessageHook(std::move(previous)); }
};
}  // namespace

TEST(WorkBehind, RunsTheTasksInTurnOnAThreadOfItsOwn)
{
    std::vector<int> done;
    std::vector<std::thread::id> threads;
    CWorkBehind work;
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(work.Post([&, i] {
            done.push_back(i);
            threads.push_back(std::this_thread::get_id());
            return true;
        }));
    ASSERT_TRUE(work.Finish());
    ASSERT_EQ(done.size(), 100u);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(done[static_cast<std::size_t>(i)], i);
        EXPECT_NE(threads[static_cast<std::size_t>(i)], std::this_thread::get_id());
    }
}

TEST(WorkBehind, AFailureIsShownOnTheCallersThreadOnceAndStopsWhatFollows)
{
    ShownMessages shown;
    int runs = 0;
    CWorkBehind work;
    ASSERT_TRUE(work.Post([&] {
        ++runs;
        ShowMessage("File save error: s.kvt: No space left on device");
        ShowMessage("and a second");
        return false;
    }));
    EXPECT_FALSE(work.Post([&] { return ++runs > 0; }));
    EXPECT_FALSE(work.Post([&] { return ++runs > 0; }));
    EXPECT_FALSE(work.Finish());
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(shown.texts, (std::vector<std::string>{"File save error: s.kvt: No space left on device", "and a second"}));
    for (const std::thread::id id : shown.threads)
        EXPECT_EQ(id, std::this_thread::get_id());
}

TEST(WorkBehind, MessagesOfASucceedingTaskAreShownToo)
{
    ShownMessages shown;
    CWorkBehind work;
    ASSERT_TRUE(work.Post([] {
        ShowMessage("a warning");
        return true;
    }));
    EXPECT_TRUE(work.Finish());
    EXPECT_EQ(shown.texts, std::vector<std::string>{"a warning"});
}
