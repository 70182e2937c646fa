// SPDX-License-Identifier: GPL-3.0-or-later
// kvt measure: how well shares reveal their secret and how well each hides it, a frame at a time.

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/Commands.h"
#include "shares/GreySecretCheck.h"
#include "cli/MeasureReport.h"
#include "cli/NumberOptions.h"
#include "io/OutputCheck.h"
#include "cli/ProgressLine.h"
#include "stream/StreamFiles.h"
#include "io/AtomicFile.h"
#include "io/MemoryBudget.h"
#include "io/Message.h"
#include "io/WorkBehind.h"
#include "stream/StreamFileReader.h"
#include "measure/ShareMeasurement.h"

namespace {
struct MeasureOptions {
    std::string secret;
    std::vector<std::string> shares;
    bool json = false;
    std::optional<std::string> csv;
    std::optional<int> subsets;
    std::optional<int> subpixels;
    bool temporal = false;
};

bool Refuse(const std::string& why)
{
    ShowMessage("kvt measure: " + why);
    return false;
}

std::string SizeText(const KvtHeader& header)
{
    return std::to_string(header.width) + " x " + std::to_string(header.height);
}

// The per-frame CSV, written through the safe writer: complete or not at all.
class CCsvOutput {
public:
    CCsvOutput(const std::string& path, bool temporal) : m_path(path), m_file(path), m_bTemporal(temporal) {}

    bool Open()
    {
        if (!m_file.Open())
            return Refuse("can't write " + m_path + ": " + m_file.GetError());
        m_buffer = CsvHeader(m_bTemporal);
        return true;
    }
    bool Add(std::size_t frame, const FrameFigures& figures)
    {
        m_buffer += CsvRow(frame, figures, m_bTemporal);
        return m_buffer.size() < (1u << 16) || Flush();
    }
    bool Commit()
    {
        if (!Flush())
            return false;
        return m_file.Commit() || Refuse("can't write " + m_path + ": " + m_file.GetError());
    }

private:
    bool Flush()
    {
        for (std::size_t done = 0; done < m_buffer.size();) {
            const ssize_t n = ::write(m_file.GetDescriptor(), m_buffer.data() + done, m_buffer.size() - done);
            if (n < 0)
                return Refuse("can't write " + m_path + ": " + std::strerror(errno));
            done += static_cast<std::size_t>(n);
        }
        m_buffer.clear();
        return true;
    }

    std::string m_path;
    CAtomicFile m_file;
    bool m_bTemporal;
    std::string m_buffer;
};

// One frame of the secret and of every share, each share's as bytes or as packed rows.
struct FrameSet {
    FrameBuffer secret;
    std::vector<FrameBuffer> shares;
    std::vector<const BYTE*> shareRows;
    std::vector<const std::uint64_t*> packedShares;  // the same frames, where they hold packed rows

    // False, after the message where `telling`, when memory is short.
    bool Allocate(std::size_t secretBytes, std::size_t shareBytes, int shareCount, bool telling)
    {
        auto allocate = [telling](std::size_t bytes) {
            return telling ? AllocateFrame(bytes, "kvt measure: not enough memory") : AllocateFrameBuffer(bytes);
        };
        secret = allocate(secretBytes);
        for (int s = 0; s < shareCount && secret; ++s) {
            shares.push_back(allocate(shareBytes));
            if (!shares.back())
                return false;
            shareRows.push_back(shares.back().get());
            packedShares.push_back(reinterpret_cast<const std::uint64_t*>(shares.back().get()));
        }
        return secret != nullptr;
    }
};

// Bytes of a share's rows read at once, packed before the next are read: a cache's worth, so
// that a share's bytes are never written to memory and read back.
constexpr std::size_t kBandBytes = std::size_t{128} << 10;

// A share's next frame read a band of rows at a time into `band`, each band packed at once into
// `packed` (PackedFrameWords words). False after the message where the file can't be read.
bool ReadPackedFrame(CStreamFileReader& reader, const CBlockPatternReader& packer, std::vector<BYTE>& band,
                     BYTE* packed)
{
    const KvtHeader& header = reader.GetHeader();
    const auto width = static_cast<std::size_t>(header.width);
    const int bandRows = static_cast<int>(std::max<std::size_t>(1, band.size() / std::max<std::size_t>(width, 1)));
    auto* bits = reinterpret_cast<std::uint64_t*>(packed);
    for (int y = 0; y < header.height; y += bandRows) {
        const int rows = std::min(bandRows, header.height - y);
        if (!reader.ReadRows(band.data(), rows))
            return false;
        packer.PackRows(band.data(), width, rows, bits + static_cast<std::size_t>(y) * packer.PackedRowWords());
    }
    return true;
}

// The shares' block over the secret, or nothing after the message.
std::optional<BlockShape> CheckSizes(const MeasureOptions& options, const KvtHeader& secret,
                                     const std::vector<std::unique_ptr<CStreamFileReader>>& shares)
{
    const KvtHeader& first = shares.front()->GetHeader();
    for (std::size_t s = 1; s < shares.size(); ++s) {
        const KvtHeader& other = shares[s]->GetHeader();
        if (other.width != first.width || other.height != first.height) {
            Refuse(options.shares[s] + " is " + SizeText(other) + " but " + options.shares[0] + " is " +
                   SizeText(first) + ": the shares must be of one size");
            return std::nullopt;
        }
    }
    const auto block = DeriveBlockShape(secret.width, secret.height, first.width, first.height);
    if (!block) {
        Refuse("the shares' size " + SizeText(first) + " is not a whole multiple of the secret's " + SizeText(secret) +
               " (" + options.secret + ")");
        return std::nullopt;
    }
    if (block->Subpixels() > kMaxBlockSubpixels) {
        Refuse("blocks of " + std::to_string(block->width) + " x " + std::to_string(block->height) +
               " subpixels are more than the " + std::to_string(kMaxBlockSubpixels) + " that can be measured");
        return std::nullopt;
    }
    if (options.subpixels && *options.subpixels > block->Subpixels()) {
        Refuse("--subpixels " + std::to_string(*options.subpixels) + " is more than the " +
               std::to_string(block->Subpixels()) + " subpixels of the shares' " + std::to_string(block->width) +
               " x " + std::to_string(block->height) + " blocks");
        return std::nullopt;
    }
    return block;
}

int RunMeasure(const MeasureOptions& options, const CommonOptions& common)
{
    const int shareCount = static_cast<int>(options.shares.size());
    if (options.subsets && *options.subsets > shareCount) {
        ShowMessage("kvt measure: --subsets " + std::to_string(*options.subsets) + " is more than the " +
                    std::to_string(shareCount) + " shares given");
        return kExitUsage;
    }
    std::vector<std::filesystem::path> inputs(options.shares.begin(), options.shares.end());
    inputs.emplace_back(options.secret);
    if (options.csv && !CheckOutputs("kvt measure", {*options.csv}, inputs))
        return kExitUsage;
    CStreamFileReader secret;
    if (!OpenInput(secret, options.secret))
        return kExitFailed;
    std::vector<std::unique_ptr<CStreamFileReader>> shares;
    for (const std::string& path : options.shares) {
        shares.push_back(std::make_unique<CStreamFileReader>());
        if (!OpenInput(*shares.back(), path))
            return kExitFailed;
    }
    const auto block = CheckSizes(options, secret.GetHeader(), shares);
    if (!block)
        return kExitFailed;
    unsigned frames = secret.GetHeader().frameCount;
    std::string shortest = options.secret;
    for (std::size_t s = 0; s < shares.size(); ++s)
        if (shares[s]->GetHeader().frameCount < frames)
            frames = shares[s]->GetHeader().frameCount, shortest = options.shares[s];
    if (frames == 0)
        return Refuse("nothing to measure: " + shortest + " holds no frame"), kExitFailed;

    const KvtHeader& secretHeader = secret.GetHeader();
    const KvtHeader& shareHeader = shares.front()->GetHeader();
    // The measurement keeps, per secret pixel, this frame's stacked block and the previous one's.
    constexpr std::uint64_t kTableBytesPerPixel = sizeof(BlockPattern) + 1;
    const std::uint64_t secretPixels = static_cast<std::uint64_t>(secretHeader.width) *
                                       static_cast<std::uint64_t>(secretHeader.height);
    if (!MemoryFor({{1, secretHeader.FrameBytes()},
                    {static_cast<std::uint64_t>(shareCount), shareHeader.FrameBytes()},
                    {secretPixels, kTableBytesPerPixel}},
                   "kvt measure: not enough memory"))
        return kExitFailed;
    // Where the measurement takes them, the shares' rows are packed as they are read.
    std::optional<CBlockPatternReader> packer;
    std::vector<BYTE> band;
    std::size_t shareBytes = shareHeader.FrameBytes();
    if (CShareMeasurement::TakesPackedShares(*block, shareCount)) {
        packer.emplace(*block, secretHeader.width);
        band.resize(std::max<std::size_t>(kBandBytes, static_cast<std::size_t>(shareHeader.width)));
        shareBytes = packer->PackedFrameWords(shareHeader.height) * sizeof(std::uint64_t);
    }
    std::vector<FrameSet> frameSets(1);
    if (!frameSets.front().Allocate(secretHeader.FrameBytes(), shareBytes, shareCount, true))
        return kExitFailed;
    // Where memory allows, a second frame of every stream: the next is read while the last is measured.
    const std::uint64_t setBytes = secretHeader.FrameBytes() + std::uint64_t{shareBytes} *
                                                                   static_cast<unsigned>(shareCount);
    if (frames > 1 && MemoryAvailableFor(1, setBytes) &&
        !frameSets.emplace_back().Allocate(secretHeader.FrameBytes(), shareBytes, shareCount, false))
        frameSets.pop_back();
    std::optional<CCsvOutput> csv;
    if (options.csv && !csv.emplace(*options.csv, options.temporal).Open())
        return kExitFailed;
    CGreySecretCheck greyCheck;
    MeasureResults results;
    CProgressLine progress("Measuring", frames, common.quiet);
    const std::uint64_t frameBytes =
        secretHeader.frameSize + std::uint64_t{shareHeader.frameSize} * static_cast<unsigned>(shareCount);
    auto readInto = [&](FrameSet& set) {
        if (!secret.ReadFrame(set.secret.get()))
            return false;
        greyCheck.CountFrame(set.secret.get(), secretHeader);  // behind the measuring too: each frame once, in turn
        for (std::size_t s = 0; s < shares.size(); ++s)
            if (!(packer ? ReadPackedFrame(*shares[s], *packer, band, set.shares[s].get())
                         : shares[s]->ReadFrame(set.shares[s].get())))
                return false;
        return true;
    };
    // The first frame is read while the measurement sets up its tables, and with a second frame set
    // each next frame behind the measuring; the reads' messages are shown here.
    CWorkBehind reading;  // waits for the read in hand on every way out
    if (!reading.Post([&readInto, &frameSets] { return readInto(frameSets[0]); }))
        return kExitFailed;
    CShareMeasurement measurement({secretHeader.width, secretHeader.height, *block, shareCount,
                                   options.subsets.value_or(1), options.subpixels, options.temporal});
    if (!reading.Finish())
        return kExitFailed;
    const bool readingBehind = frameSets.size() > 1;
    for (unsigned k = 0; k < frames; ++k) {
        const FrameSet& frame = frameSets[k % frameSets.size()];
        FrameSet& following = frameSets[(k + 1) % frameSets.size()];
        if (k + 1 < frames && readingBehind && !reading.Post([&readInto, &following] { return readInto(following); }))
            return kExitFailed;
        const auto secretStride = static_cast<std::size_t>(secretHeader.RowStride());
        results.frames.push_back(
            packer ? measurement.MeasurePackedFrame(frame.secret.get(), secretStride, frame.packedShares)
                   : measurement.MeasureFrame(frame.secret.get(), secretStride, frame.shareRows,
                                              static_cast<std::size_t>(shareHeader.RowStride())));
        if (csv && !csv->Add(k, results.frames.back())) {
            reading.Finish();  // the read in hand may have more to say
            return kExitFailed;
        }
        progress.Advance(frameBytes);
        if (k + 1 < frames && !(readingBehind ? reading.Finish() : readInto(following)))
            return kExitFailed;
    }
    progress.Finish();
    if (csv && !csv->Commit())
        return kExitFailed;

    greyCheck.Warn(std::cerr, "kvt measure", options.secret);
    results.stream = measurement.StreamFigures();
    results.measurement = &measurement;
    results.temporal = options.temporal;
    const MeasuredFiles files{options.secret,         secretHeader.width, secretHeader.height,
                              options.shares,         shareHeader.width,  shareHeader.height,
                              *block,                 greyCheck.GetGreyPixels()};
    std::cout << (options.json ? JsonReport(files, results) : TextReport(files, results));
    return kExitOk;
}
}  // namespace

void AddMeasureCommand(CCommandLine& commandLine)
{
    auto options = std::make_shared<MeasureOptions>();
    CCommand measure = commandLine.AddCommand(
        "measure",
        "Measures how well SHAREs reveal SECRET and how well each hides it. The shares are stacked\n"
        "(a subpixel is black where any share has 0) and each secret pixel is compared with its block,\n"
        "the shares' size divided by the secret's, frame by frame for as many frames as all hold.\n"
        "Only 0 counts as black in the secret too: grey pixels are measured as white.\n"
        "\n"
        "m is the number of a block's subpixels that carry the scheme; cells past m (row by row) are\n"
        "white in every share, there only to make the block a rectangle. m is --subpixels M where\n"
        "given; otherwise the least m of kvt shadows' schemes with blocks of this shape that leaves\n"
        "every cell black in the first frame's shares inside m; for blocks no scheme has, the cells\n"
        "up to the last one the shares blacken.\n"
        "\n"
        "Figures, for the stream as a whole and as min / median / max over frames:\n"
        "  h/m, l/m    mean black subpixels in stacked blocks over black / white secret pixels, over m\n"
        "  alpha       relative difference (h - l) / m, the papers' contrast\n"
        "  beta        light contrast (T_white - T_black) / (1 + T_black), T = 1 - h/m or 1 - l/m\n"
        "  block black, block white, block alpha, block beta\n"
        "              the same over the whole block, as a viewer sees it: h and l over the block's\n"
        "              cells (m included); they differ from the above where the block has cells past m\n"
        "  error rate  share of secret pixels whose block is on the wrong side of the midpoint between\n"
        "              the two darknesses (a block at the midpoint counts half)\n"
        "  SSIM, PSNR  the stacked picture reduced to the secret's size by averaging each block, made\n"
        "              grey so that the black pixels' mean darkness shows as 0 and the white ones' as\n"
        "              255 (linear between, clamped, whole greys; each frame by its own darknesses, or\n"
        "              those of the frames so far where it has one colour), against the secret as 0 and\n"
        "              255. SSIM over 8 x 8 windows at steps of 4 (the whole picture when smaller), the\n"
        "              stream's the mean of its frames'; PSNR 10 log10(255^2 / MSE), inf (null in JSON)\n"
        "              where MSE is 0\n"
        "  crawl       share of stacked subpixels that change from a frame to the next where the\n"
        "              secret pixel keeps its colour\n"
        "With --temporal, what a viewer sees who is shown the shares one after another, a frame each,\n"
        "and takes the k shares given in together (interlaced shares): each subpixel's share p of the\n"
        "k frames in which it is black, over the whole block:\n"
        "  seen black, seen white, mean contrast\n"
        "              the mean of p over black / white secret pixels, and black minus white (0 for\n"
        "              every scheme whose shares are equally dark over either colour)\n"
        "  flicker     the mean of p (1 - p), a subpixel's variance in time, over black / white\n"
        "              pixels, and its contrast black minus white ((2, 2): 0.25 against 0)\n"
        "  texture     the variance of p across a block, over black / white pixels, and its contrast\n"
        "              black minus white ((2, 2): 0 against 0.25)\n"
        "\n"
        "Security: leak tests, each a chi-square test of independence of what it counts against the\n"
        "secret (rows expecting fewer than 5 in a column pooled, in turn, until a pool expects 5):\n"
        "  alone       each share's block patterns (without blocks: its 2 x 2 windows of pixels over\n"
        "              secret pixels of one colour) against the secret's colour\n"
        "  joint       with --subsets K, every K shares' patterns as a tuple, each share's as it is\n"
        "  stacked     with --subsets K, every K shares' patterns stacked\n"
        "  frames      each share's subpixels that changed from a frame to the next, against whether\n"
        "              the secret pixel changed colour\n"
        "The table gives each share's (or stack's) darkness over black and white secret pixels, over\n"
        "the whole block. Patterns of up to 16 subpixels are rows as they are; larger ones are hashed\n"
        "into 65536 rows and, alone and stacked, also counted by their black subpixels. A test LEAKS\n"
        "where its p-value is under 0.001 divided by the number of tests (Bonferroni): sound shares\n"
        "are flagged by any test with a chance under 0.001 in all. Test (k - 1)-subsets with\n"
        "--subsets k-1.\n"
        "\n"
        "--json keys: secret {file, width, height}, shares {files, width, height}, block {width,\n"
        "height, subpixels}, scheme_subpixels (m), scheme_subpixels_from, frames, grey_pixels, stream /\n"
        "frames_min / frames_median / frames_max {black_darkness (h/m), white_darkness (l/m), alpha,\n"
        "beta, block_black_darkness, block_white_darkness, block_alpha, block_beta, error_rate, ssim,\n"
        "psnr_db, mse, crawl, and with --temporal seen_black_darkness, seen_white_darkness,\n"
        "seen_mean_contrast, flicker_black, flicker_white, flicker_contrast, texture_black,\n"
        "texture_white, texture_contrast}, security_units, leak_p_value (the threshold), security\n"
        "[{test, rows, shares (from 1), black_darkness, white_darkness, chi_square,\n"
        "degrees_of_freedom, p_value, leaks}]; null where a figure has no value.\n"
        "--csv columns: frame (from 0) and the figure keys above; empty where no value.",
        [options](const CommonOptions& common) { return RunMeasure(*options, common); });
    measure.AddOption("--secret", options->secret, "The secret the shares were made from")
        .Required()
        .TypeName("SECRET");
    measure.AddOption("SHARE", options->shares, "The shares, stacked together").Required();
    measure.AddFlag("--json", options->json, "Print one JSON object instead of the table");
    measure.AddOption("--csv", options->csv, "Write one row of figures per frame").TypeName("FILE");
    measure.AddOption("--subsets", options->subsets, "Test every K shares, jointly and stacked, for leaks too")
        .TypeName("K")
        .Check(WholeNumberFrom(1, 1000));  // more than the shares given is refused with them in view
    measure.AddOption("--subpixels", options->subpixels, "The subpixels of a block that carry the scheme (m)")
        .TypeName("M")
        .Check(WholeNumberFrom(1, kMaxBlockSubpixels));  // more than the block holds is refused with it in view
    measure.AddFlag("--temporal", options->temporal,
                    "Also measure what a viewer sees who is shown the shares one after another");
}
