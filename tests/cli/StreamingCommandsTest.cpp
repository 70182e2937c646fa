// SPDX-License-Identifier: GPL-3.0-or-later
// kvt works through streams a frame at a time; what it writes and says must be what the operations on
// whole streams in memory give, byte for byte, on odd widths, short data and every refusal.

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sstream>

#include "MessageRecorder.h"
#include "RunKvt.h"
#include "TempDir.h"
#include "TestStreams.h"
#include "io/Archive.h"
#include "io/AtomicFile.h"
#include "vss/PatternSource.h"
#include "vss/StreamStacking.h"

using Bytes = std::vector<unsigned char>;

namespace {
// What an operation on whole streams leaves: its messages and, when it succeeded, the files saved.
struct Outcome {
    bool ok = false;
    std::string err;
    std::vector<Bytes> files;
};

class StreamingCommands : public testing::Test {
protected:
    // A stream file of `frames` frames of `frameSize` bytes each (short data when less than
    // width x height), of noise in which about a third of the pixels are black.
    std::string Put(const std::string& name, int width, int height, int frames, int frameSize = -1,
                    std::array<std::uint16_t, 4> reserved = {})
    {
        const auto size = static_cast<std::uint32_t>(frameSize < 0 ? width * height : frameSize);
        Bytes bytes = HeaderBytes(width, height, static_cast<std::uint16_t>(frames), size, reserved);
        std::uniform_int_distribution<int> pixel(-128, 255);
        for (std::uint64_t i = 0; i < std::uint64_t{size} * static_cast<std::uint64_t>(frames); ++i)
            bytes.push_back(static_cast<unsigned char>(std::max(pixel(random), 0)));
        WriteBytes(dir / name, bytes);
        return At(name);
    }
    std::string At(const std::string& name) const { return (dir / name).string(); }
    KvtRun Kvt(std::vector<std::string> args) { return RunKvt(args, dir / "stderr.txt"); }

    // A file loaded as the player loads it.
    std::unique_ptr<CImageStream> Load(const std::string& name) const
    {
        auto stream = std::make_unique<CImageStream>();
        CArchive ar(dir / name, CArchive::load);
        EXPECT_TRUE(stream->Load(ar)) << name;
        return stream;
    }

    // Runs an operation on whole streams; it saves its results with `save`.
    Outcome InMemory(const std::function<bool(const std::function<bool(const CImageStream&)>& save)>& operation)
    {
        Outcome outcome;
        MessageRecorder recorder;
        outcome.ok = operation([&](const CImageStream& result) {
            if (!WriteFileAtomically(dir / "expected.kvt", [&](CArchive& ar) { return result.Store(ar); })) {
                ShowMessage("File save error");
                return false;
            }
            outcome.files.push_back(ReadBytes(dir / "expected.kvt"));
            return true;
        });
        for (const std::string& message : recorder.Messages())
            outcome.err += message + '\n';
        return outcome;
    }

    // The player's texts in what kvt said: without its warnings of the header and of seeded shares,
    // and without the file, reason or sizes it adds to the texts.
    static std::string PlayerTexts(const std::string& err)
    {
        std::string texts;
        std::istringstream lines(err);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("kvt: warning: ", 0) == 0)
                continue;
            if (line.find(": warning: shares made with --seed keep no secret") != std::string::npos)
                continue;
            if (line.rfind("File save error: ", 0) == 0)
                line = "File save error";
            if (const auto detail = line.find(".: "); detail != std::string::npos)
                line.erase(detail + 1);
            texts += line + '\n';
        }
        return texts;
    }

    // kvt said and wrote what the operation in memory did; on failure it wrote nothing.
    void ExpectSame(const KvtRun& run, const Outcome& expected, const std::vector<std::string>& outputs)
    {
        EXPECT_EQ(run.status, expected.ok ? 0 : 1);
        EXPECT_EQ(PlayerTexts(run.err), expected.err);
        for (std::size_t i = 0; i < outputs.size(); ++i) {
            SCOPED_TRACE(outputs[i]);
            if (expected.ok)
                EXPECT_EQ(ReadBytes(dir / outputs[i]), expected.files.at(i));
            else
                EXPECT_FALSE(std::filesystem::exists(dir / outputs[i]));
            std::filesystem::remove(dir / outputs[i]);
        }
    }

    TempDir dir;
    std::mt19937 random{20240601};
};
}  // namespace

TEST_F(StreamingCommands, CopyAndInfoAsALoadAndASave)
{
    Put("odd.kvt", 7, 3, 3, -1, {7, 0, 0x8000, 1});
    Put("short.kvt", 5, 3, 2, 9);  // saved frames would be longer than the header says: refused
    Put("empty.kvt", 6, 2, 0);
    for (const char* name : {"odd.kvt", "short.kvt", "empty.kvt"}) {
        SCOPED_TRACE(name);
        const auto stream = Load(name);
        ExpectSame(Kvt({"copy", At(name), At("out.kvt")}), InMemory([&](const auto& save) { return save(*stream); }),
                   {"out.kvt"});
        const KvtRun info = Kvt({"info", At(name)});
        EXPECT_EQ(info.status, 0);
        EXPECT_NE(info.out.find("\nframes: " + std::to_string(stream->GetFramesHeld()) + "\n"), std::string::npos)
            << info.out;
    }
}

TEST_F(StreamingCommands, SeededShadowsAreTheShadowsOfTheWholeStream)
{
    Put("odd.kvt", 7, 5, 4);
    Put("short.kvt", 5, 3, 3, 11);
    Put("empty.kvt", 3, 3, 0);
    for (const std::string base : {"odd", "short", "empty"}) {
        SCOPED_TRACE(base);
        const auto secret = Load(base + ".kvt");
        const Outcome expected = InMemory([&](const auto& save) {
            CImageStream shadow1, shadow2;
            CLcgPatternSource source(977);
            return secret->CreateVSSShadows(&shadow1, &shadow2, source) && save(shadow1) && save(shadow2);
        });
        KvtRun run = Kvt({"shadows", At(base + ".kvt"), "--seed", "977"});
        run.err = PlayerTexts(run.err);
        // The secrets are grey noise: kvt warns of that first, beyond what the operation in memory says.
        if (expected.ok) {
            EXPECT_EQ(run.err.rfind("kvt shadows: warning: " + At(base + ".kvt") + " has ", 0), 0u) << run.err;
            run.err.erase(0, run.err.find('\n') + 1);
        }
        ExpectSame(run, expected, {base + "-Shadow1.kvt", base + "-Shadow2.kvt"});
    }
}

TEST_F(StreamingCommands, InterlaceModeOneAsOnWholeStreams)
{
    Put("a.kvt", 7, 3, 3);
    Put("b.kvt", 7, 3, 3);
    Put("shortA.kvt", 7, 3, 3, 20);
    Put("shortB.kvt", 7, 3, 3, 20);
    Put("fewer.kvt", 7, 3, 2);
    Put("wider.kvt", 8, 3, 3);
    Put("empty.kvt", 7, 3, 0);
    Put("long.kvt", 1, 1, 32768);  // twice as many frames as a header can count
    for (const auto& [a, b] : std::vector<std::pair<std::string, std::string>>{
             {"a", "b"}, {"shortA", "shortB"}, {"a", "fewer"}, {"a", "wider"}, {"empty", "a"}, {"long", "long"}}) {
        SCOPED_TRACE(a + " " + b);
        const auto streamA = Load(a + ".kvt");
        const auto streamB = Load(b + ".kvt");
        const Outcome expected = InMemory([&](const auto& save) {
            CImageStream result;
            return result.InterlaceMode1(streamA.get(), streamB.get()) && save(result);
        });
        ExpectSame(Kvt({"interlace", "--mode", "1", At(a + ".kvt"), At(b + ".kvt"), "-o", At("out.kvt")}),
                   expected, {"out.kvt"});
    }
}

TEST_F(StreamingCommands, InterlaceModeTwoMakesTheFreshPairAsOnWholeStreams)
{
    Put("a.kvt", 6, 4, 3);
    Put("b.kvt", 6, 4, 3);
    Put("secret.kvt", 3, 2, 3);
    Put("shortSecret.kvt", 3, 2, 3, 5);  // the last frame partly held
    Put("fewer.kvt", 3, 2, 2);
    Put("none.kvt", 3, 2, 0);
    Put("longA.kvt", 2, 2, 16384);  // four times as many frames as a header can count
    Put("longSecret.kvt", 1, 1, 16384);
    for (const auto& [a, secret] : std::vector<std::pair<std::string, std::string>>{
             {"a", "secret"}, {"a", "shortSecret"}, {"a", "fewer"}, {"a", "none"}, {"longA", "longSecret"}}) {
        SCOPED_TRACE(a + " " + secret);
        const auto streamA = Load(a + ".kvt");
        const auto streamSecret = Load(secret + ".kvt");
        const Outcome expected = InMemory([&](const auto& save) {
            CImageStream fresh1, fresh2, result;
            CLcgPatternSource source(31);
            return streamSecret->CreateVSSShadows(&fresh1, &fresh2, source) &&
                   result.InterlaceMode2(streamA.get(), streamA.get(), &fresh1, &fresh2) && save(result);
        });
        const KvtRun run = Kvt({"interlace", "--mode", "2", At(a + ".kvt"), At(a + ".kvt"), "--secret",
                                At(secret + ".kvt"), "--seed", "31", "-o", At("out.kvt")});
        ExpectSame(run, expected, {"out.kvt"});
        EXPECT_EQ(run.out, expected.ok ? "seed: 31\n" : "");
    }
}

TEST_F(StreamingCommands, RevealAsOnWholeStreams)
{
    Put("a.kvt", 9, 3, 4);
    Put("b.kvt", 9, 3, 2);
    Put("shortA.kvt", 9, 3, 2, 14);  // the last frame partly held
    Put("higher.kvt", 9, 4, 2);
    Put("empty.kvt", 9, 3, 0);
    for (const auto& [a, b] : std::vector<std::pair<std::string, std::string>>{
             {"a", "b"}, {"shortA", "a"}, {"a", "higher"}, {"empty", "a"}}) {
        SCOPED_TRACE(a + " " + b);
        const auto streamA = Load(a + ".kvt");
        const auto streamB = Load(b + ".kvt");
        const Outcome expected = InMemory([&](const auto& save) {
            CImageStream result;
            return RevealByStacking(*streamA, *streamB, result) && save(result);
        });
        ExpectSame(Kvt({"reveal", At(a + ".kvt"), At(b + ".kvt"), "-o", At("out.kvt")}), expected, {"out.kvt"});
    }
}

TEST_F(StreamingCommands, AFailedWriteLeavesEveryTargetAsItWas)
{
    Put("secret.kvt", 3, 2, 2);
    std::filesystem::create_directory(dir / "out");
    WriteBytes(dir / "out" / "secret-Shadow1.kvt", {'o', 'l', 'd'});
    std::filesystem::create_directory(dir / "out" / "secret-Shadow2.kvt");  // can't be replaced
    const KvtRun run = Kvt({"shadows", At("secret.kvt"), "--seed", "1", "--out-dir", At("out")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "File save error: " + At("out/secret-Shadow2.kvt") + ": not a regular file\n");
    EXPECT_EQ(ReadBytes(dir / "out" / "secret-Shadow1.kvt"), (Bytes{'o', 'l', 'd'}));
}
