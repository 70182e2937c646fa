// SPDX-License-Identifier: GPL-3.0-or-later
// The studio's session without a window: the same secret bytes as kvt import, the same shares as
// kvt shadows --seed, kvt's refusals, every checked set's reveal, and a stopped run that leaves
// nothing behind.

#include <gtest/gtest.h>

#include <QImage>
#include <fstream>
#include <iterator>

#include "GreyFrames.h"
#include "RunKvt.h"
#include "TempDir.h"
#include "TestStreams.h"
#include "stream/StreamFileReader.h"
#include "studio/ShareAlignment.h"
#include "studio/ShareJob.h"
#include "studio/StudioSession.h"
#include "studio/TimeLeft.h"

namespace {
// The frames of a stream file, each as a picture.
std::vector<QImage> ReadFrames(const std::filesystem::path& path)
{
    CStreamFileReader reader;
    std::vector<QImage> frames;
    if (!reader.Open(path))
        return frames;
    const KvtHeader& header = reader.GetHeader();
    for (;;) {
        QImage frame(header.width, header.height, QImage::Format_Grayscale8);
        if (!reader.ReadFrame(frame.bits()))
            return frames;
        frames.push_back(frame);
    }
}

class StudioModelTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(MakeGreyFrame(0, 61, 47).save(QString::fromStdString(Picture().string()))); }
    std::filesystem::path Picture() const { return m_dir / "photo.png"; }
    KvtRun Kvt(const std::vector<std::string>& args) { return RunKvt(args, m_dir / "err.txt"); }

    CStudioSession OpenedSession(const ImportSettings& settings)
    {
        CStudioSession session;
        std::string error;
        EXPECT_TRUE(session.SetImportSettings(settings, error)) << error;
        EXPECT_TRUE(session.OpenSource(Picture(), error)) << error;
        return session;
    }

    TempDir m_dir;
};

TEST_F(StudioModelTest, SecretIsWhatKvtImportWrites)
{
    struct Case {
        std::vector<std::string> options;
        ImportSettings settings;
    };
    ImportSettings toned;
    toned.size = QSize(40, 30);
    toned.fit = FitMode::cover;
    toned.tone = {{20, 200}, 1.7, AutoLevels::off, true};
    toned.dither = DitherMethod::ordered;
    ImportSettings autoLevels;
    autoLevels.tone.autoLevels = AutoLevels::first;
    autoLevels.dither = DitherMethod::threshold;
    autoLevels.threshold = 90;
    for (const Case& c : {Case{{}, ImportSettings{}},
                          Case{{"--size", "40x30", "--fit", "cover", "--levels", "20:200", "--gamma", "1.7", "--invert",
                                "--dither", "ordered"},
                               toned},
                          Case{{"--auto-levels", "--dither", "threshold", "--threshold", "90"}, autoLevels}}) {
        std::vector<std::string> args = {"import", Picture().string(), "-o", (m_dir / "secret.kvt").string()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        ASSERT_EQ(Kvt(args).status, 0);
        const std::vector<QImage> imported = ReadFrames(m_dir / "secret.kvt");
        ASSERT_EQ(imported.size(), 1u);

        const CStudioSession session = OpenedSession(c.settings);
        FramePreview preview;
        std::string error;
        ASSERT_TRUE(session.Preview(preview, error)) << error;
        EXPECT_EQ(preview.secret, imported.front());
        EXPECT_EQ(preview.original.size(), preview.secret.size());
    }
}

TEST_F(StudioModelTest, SharesAreWhatKvtShadowsWritesWithTheSameSeed)
{
    ASSERT_EQ(Kvt({"import", Picture().string(), "-o", (m_dir / "photo.kvt").string()}).status, 0);
    std::filesystem::create_directory(m_dir / "kvt");
    ASSERT_EQ(Kvt({"shadows", (m_dir / "photo.kvt").string(), "--scheme", "random-grid", "-k", "3", "-n", "5", "--seed",
                   "41", "--out-dir", (m_dir / "kvt").string()})
                  .status,
              0);

    std::string refusal;
    CStudioSession session = OpenedSession({});
    SchemeSettings settings;
    settings.request = {SchemeFamily::RandomGrid, 3, 5, std::nullopt};
    settings.seed = 41;
    session.SetSchemeSettings(settings);
    const auto scheme = session.ChooseScheme(refusal);
    ASSERT_TRUE(scheme) << refusal;
    std::filesystem::create_directory(m_dir / "studio");
    CShareJob job({Picture(), SourceKind::pictures, {}, *scheme, 41, m_dir / "studio", "photo"});
    const ShareJobResult result = job.Run({});
    ASSERT_EQ(result.outcome, ShareJobOutcome::written) << result.error;
    ASSERT_EQ(result.paths.size(), 5u);
    for (int i = 1; i <= 5; ++i) {
        const std::string name = "photo-Shadow" + std::to_string(i) + ".kvt";
        EXPECT_EQ(result.paths[static_cast<std::size_t>(i - 1)], m_dir / "studio" / name);
        EXPECT_EQ(ReadBytes(m_dir / "studio" / name), ReadBytes(m_dir / "kvt" / name)) << name;
    }
    EXPECT_EQ(job.GetDone(), job.GetTotal());
    // The split's pace from its own frames: the second half.
    EXPECT_EQ(job.GetCounts().stepStart, job.GetTotal() / 2);
    EXPECT_FALSE(job.GetCounts().stepsToCome);

    // Every checked set reveals the AND of its shares' frames; k of them show the secret.
    ASSERT_TRUE(session.OpenShares(result.paths, refusal)) << refusal;
    const QImage secret = ReadFrames(m_dir / "photo.kvt").front();
    CShareSet& shares = session.GetShares();
    for (int set = 1; set < 32; ++set) {
        QImage expected(secret.size(), QImage::Format_Grayscale8);
        expected.fill(255);
        for (int i = 0; i < 5; ++i) {
            shares.SetChecked(i, (set >> i) & 1);
            if ((set >> i) & 1)
                for (int y = 0; y < secret.height(); ++y)
                    for (int x = 0; x < secret.width(); ++x)
                        expected.scanLine(y)[x] &= shares.GetFrame(i).constScanLine(y)[x];
        }
        EXPECT_EQ(shares.Reveal(), expected) << "set " << set;
    }
}

TEST_F(StudioModelTest, StoppedRunLeavesNothingBehind)
{
    std::string refusal;
    const auto scheme = ChooseScheme({SchemeFamily::NaorShamir, 2, 3, std::nullopt}, refusal);
    ASSERT_TRUE(scheme);
    std::filesystem::create_directory(m_dir / "out");
    std::stop_source stop;
    stop.request_stop();
    CShareJob job({Picture(), SourceKind::pictures, {}, *scheme, std::nullopt, m_dir / "out", "photo"});
    EXPECT_EQ(job.Run(stop.get_token()).outcome, ShareJobOutcome::stopped);
    EXPECT_TRUE(std::filesystem::is_empty(m_dir / "out"));
}

TEST_F(StudioModelTest, FailedRunNamesTheFileAndWritesNothing)
{
    std::string refusal;
    const auto scheme = ChooseScheme({SchemeFamily::RandomGrid, 2, 2, std::nullopt}, refusal);
    ASSERT_TRUE(scheme);
    CShareJob job({Picture(), SourceKind::pictures, {}, *scheme, std::nullopt, m_dir / "missing" / "folder", "photo"});
    const ShareJobResult result = job.Run({});
    EXPECT_EQ(result.outcome, ShareJobOutcome::failed);
    EXPECT_NE(result.error.find("photo-Shadow1.kvt"), std::string::npos) << result.error;
    EXPECT_FALSE(std::filesystem::exists(m_dir / "missing"));
}

TEST_F(StudioModelTest, RefusesWhatKvtShadowsRefusesInItsWords)
{
    ASSERT_EQ(Kvt({"import", Picture().string(), "-o", (m_dir / "photo.kvt").string()}).status, 0);
    struct Case {
        SchemeRequest request;
        std::vector<std::string> options;
    };
    for (const Case& c : {Case{{SchemeFamily::NaorShamir, 3, 2, std::nullopt}, {"-k", "3", "-n", "2"}},
                          Case{{SchemeFamily::NaorShamir, 3, 9, std::nullopt}, {"-k", "3", "-n", "9"}},
                          Case{{SchemeFamily::RandomGrid, 2, 3, 3}, {"--scheme", "random-grid", "-n", "3", "--variant", "3"}},
                          Case{{SchemeFamily::Probabilistic, 1, 9, std::nullopt},
                               {"--scheme", "probabilistic", "-k", "1", "-n", "9"}}}) {
        std::vector<std::string> args = {"shadows", (m_dir / "photo.kvt").string()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const KvtRun run = Kvt(args);
        std::string refusal;
        EXPECT_FALSE(ChooseScheme(c.request, refusal));
        EXPECT_EQ("kvt shadows: " + refusal + "\n", run.err);
    }
}

TEST_F(StudioModelTest, BadSourcesAreRefusedByName)
{
    std::ofstream(m_dir / "notes.txt") << "not a picture";
    CStudioSession session = OpenedSession({});
    std::string error;
    EXPECT_FALSE(session.OpenSource(m_dir / "notes.txt", error));
    EXPECT_EQ(error.rfind((m_dir / "notes.txt").string() + ": ", 0), 0u) << error;
    // The open source stays.
    EXPECT_EQ(session.GetSource().GetPath(), Picture());

    ASSERT_TRUE(MakeGreyFrame(0, 10, 10).save(QString::fromStdString((m_dir / "small.png").string())));
    ASSERT_EQ(Kvt({"import", (m_dir / "small.png").string(), "-o", (m_dir / "small.kvt").string()}).status, 0);
    ASSERT_EQ(Kvt({"shadows", (m_dir / "small.kvt").string()}).status, 0);
    ASSERT_EQ(Kvt({"import", Picture().string(), "-o", (m_dir / "photo.kvt").string()}).status, 0);
    ASSERT_EQ(Kvt({"shadows", (m_dir / "photo.kvt").string()}).status, 0);
    EXPECT_FALSE(session.OpenShares({m_dir / "photo-Shadow1.kvt", m_dir / "small-Shadow2.kvt"}, error));
    EXPECT_EQ(error, (m_dir / "small-Shadow2.kvt").string() + ": 20x20, not the 122x94 of " +
                         (m_dir / "photo-Shadow1.kvt").string() + ": a share of another secret");
}

TEST_F(StudioModelTest, AlignFindsWhereAMovedShareBelongs)
{
    QImage square(96, 96, QImage::Format_Grayscale8);
    square.fill(255);
    for (int y = 24; y < 72; ++y)
        std::fill_n(square.scanLine(y) + 24, 48, 0);
    ASSERT_TRUE(square.save(QString::fromStdString((m_dir / "square.png").string())));
    ASSERT_EQ(Kvt({"import", (m_dir / "square.png").string(), "-o", (m_dir / "square.kvt").string()}).status, 0);
    ASSERT_EQ(Kvt({"shadows", (m_dir / "square.kvt").string(), "--scheme", "random-grid", "--seed", "5"}).status, 0);
    const QImage first = ReadFrames(m_dir / "square-Shadow1.kvt").front();
    const QImage second = ReadFrames(m_dir / "square-Shadow2.kvt").front();
    // The second as a scan that lost its place: its content 3 cells left and 2 down.
    QImage scanned(second.size(), QImage::Format_Grayscale8);
    scanned.fill(255);
    for (int y = 0; y + 2 < second.height(); ++y)
        for (int x = 3; x < second.width(); ++x)
            scanned.scanLine(y + 2)[x - 3] = second.constScanLine(y)[x];
    EXPECT_EQ(FindAlignment(first, scanned, 8), QPoint(3, -2));
    EXPECT_EQ(FindAlignment(first, second, 8), QPoint(0, 0));
}

TEST_F(StudioModelTest, StreamSourceSeeksAnyFrame)
{
    for (int f = 0; f < 3; ++f)
        ASSERT_TRUE(MakeGreyFrame(f).save(QString("%1/f%2.png").arg(QString::fromStdString(m_dir.Path().string())).arg(f)));
    ASSERT_EQ(Kvt({"import", (m_dir / "f0.png").string(), (m_dir / "f1.png").string(), (m_dir / "f2.png").string(),
                   "-o", (m_dir / "three.kvt").string(), "--dither", "none"})
                  .status,
              0);
    CStudioSession session;
    std::string error;
    ASSERT_TRUE(session.OpenSource(m_dir / "three.kvt", error)) << error;
    EXPECT_EQ(session.GetSource().GetKind(), SourceKind::stream);
    ASSERT_EQ(session.GetFrameCount(), 3u);
    for (int f : {2, 0, 1}) {
        ASSERT_TRUE(session.SetFrameIndex(static_cast<std::uint64_t>(f), error)) << error;
        FramePreview preview;
        ASSERT_TRUE(session.Preview(preview, error));
        EXPECT_EQ(preview.secret, MakeGreyFrame(f)) << f;
    }
    EXPECT_FALSE(session.SetFrameIndex(3, error));
}
}  // namespace

TEST_F(StudioModelTest, CoversAndKeyAreRefusedInKvtsWordsBeforeAnyWork)
{
    ASSERT_EQ(Kvt({"import", Picture().string(), "-o", (m_dir / "photo.kvt").string()}).status, 0);
    // White covers of another size; a key whose every block has its top two subpixels black.
    WriteBytes(m_dir / "small.kvt", KvtFile(10, 10, std::vector<unsigned char>(100, 255)));
    std::vector<unsigned char> key;
    for (int y = 0; y < 2 * 47; ++y)
        key.insert(key.end(), 2 * 61, y % 2 == 0 ? 0 : 255);
    WriteBytes(m_dir / "key.kvt", KvtFile(2 * 61, 2 * 47, key));
    struct Case {
        ShareKind kind;
        std::vector<std::string> options;
    };
    for (const Case& c : {Case{ShareKind::covers, {"--cover", (m_dir / "small.kvt").string(), "--cover",
                                                   (m_dir / "small.kvt").string()}},
                          Case{ShareKind::key, {"--key", (m_dir / "key.kvt").string()}}}) {
        std::vector<std::string> args = {"shadows", (m_dir / "photo.kvt").string(), "--out-dir", (m_dir / ".").string()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const KvtRun run = Kvt(args);
        ASSERT_NE(run.status, 0);

        CStudioSession session = OpenedSession({});
        SchemeSettings settings;
        settings.kind = c.kind;
        settings.covers = {m_dir / "small.kvt", m_dir / "small.kvt"};
        settings.key.path = m_dir / "key.kvt";
        session.SetSchemeSettings(settings);
        std::string refusal;
        EXPECT_FALSE(session.ChooseMaking(refusal));
        EXPECT_EQ(refusal + "\n", run.err);
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir / "photo-Shadow1.kvt"));
    EXPECT_FALSE(std::filesystem::exists(m_dir / "photo-Shadow2.kvt"));

    // Covers of the secret's size are taken, and make the shares kvt makes with the same seed.
    WriteBytes(m_dir / "white.kvt", KvtFile(61, 47, std::vector<unsigned char>(61 * 47, 255)));
    const std::string white = (m_dir / "white.kvt").string();
    std::filesystem::create_directory(m_dir / "kvt");
    ASSERT_EQ(Kvt({"shadows", (m_dir / "photo.kvt").string(), "--cover", white, "--cover", white, "--seed", "7",
                   "--out-dir", (m_dir / "kvt").string()})
                  .status,
              0);
    CStudioSession session = OpenedSession({});
    SchemeSettings settings;
    settings.kind = ShareKind::covers;
    settings.covers = {white, white};
    settings.seed = 7;
    session.SetSchemeSettings(settings);
    std::string refusal;
    const auto making = session.ChooseMaking(refusal);
    ASSERT_TRUE(making) << refusal;
    CShareJob job({Picture(), SourceKind::pictures, {}, *making, 7, m_dir / ".", "photo"});
    const ShareJobResult result = job.Run({});
    ASSERT_EQ(result.outcome, ShareJobOutcome::written) << result.error;
    for (const char* name : {"photo-Shadow1.kvt", "photo-Shadow2.kvt"})
        EXPECT_EQ(ReadBytes(m_dir / name), ReadBytes(m_dir / "kvt" / name)) << name;
}

TEST(TimeLeftTest, FollowsThePaceOfTheLastStepsLastFewSeconds)
{
    // An import at 100 frames a second, then a split at 25: 500 + 500 frames.
    CTimeLeft estimate;
    EXPECT_FALSE(estimate.SecondsLeft());
    for (std::int64_t ms = 100; ms <= 5000; ms += 100) {
        estimate.Add(ms, {static_cast<std::uint64_t>(ms / 10), 1000, 0, true});
        EXPECT_FALSE(estimate.SecondsLeft()) << ms;  // the split's pace is not known yet
    }
    estimate.Add(5100, {500, 1000, 500, false});
    EXPECT_FALSE(estimate.SecondsLeft());
    for (std::int64_t ms = 5200; ms <= 6000; ms += 100)
        estimate.Add(ms, {500 + static_cast<std::uint64_t>((ms - 5100) / 40), 1000, 500, false});
    // From the split's first frames, its own pace: 478 frames at 25 a second (the import's pace
    // would say 4.8 seconds).
    EXPECT_NEAR(*estimate.SecondsLeft(), 478.0 / 25, 0.5);

    // Within a step, a change of pace shows within a window: at 50 a second from 6 s on.
    for (std::int64_t ms = 6100; ms <= 6000 + CTimeLeft::kWindowMs; ms += 100)
        estimate.Add(ms, {522 + static_cast<std::uint64_t>((ms - 6000) / 20), 1000, 500, false});
    EXPECT_NEAR(*estimate.SecondsLeft(), 328.0 / 50, 1e-9);
    estimate.Add(9500, {1000, 1000, 500, false});
    EXPECT_EQ(*estimate.SecondsLeft(), 0.0);

    // A job of one step has a time left from its first frames.
    CTimeLeft oneStep;
    oneStep.Add(100, {10, 100});
    EXPECT_DOUBLE_EQ(*oneStep.SecondsLeft(), 0.9);
}
