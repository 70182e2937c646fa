// SPDX-License-Identifier: GPL-3.0-or-later
// kvt measure: how well shares reveal their secret and how well each hides it, a frame at a time.

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/Commands.h"
#include "cli/GreySecretCheck.h"
#include "cli/MeasureReport.h"
#include "cli/NumberOptions.h"
#include "cli/ProgressLine.h"
#include "cli/StreamFiles.h"
#include "io/AtomicFile.h"
#include "io/Message.h"
#include "stream/StreamFileReader.h"
#include "measure/ShareMeasurement.h"

namespace {
struct MeasureOptions {
    std::string secret;
    std::vector<std::string> shares;
    bool json = false;
    std::optional<std::string> csv;
    std::optional<int> subsets;
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
    explicit CCsvOutput(const std::string& path) : m_path(path), m_file(path) {}

    bool Open()
    {
        if (!m_file.Open())
            return Refuse("can't write " + m_path + ": " + m_file.GetError());
        m_buffer = CsvHeader();
        return true;
    }
    bool Add(std::size_t frame, const FrameFigures& figures)
    {
        m_buffer += CsvRow(frame, figures);
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
    std::string m_buffer;
};

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
    CStreamFileReader secret;
    if (!secret.Open(options.secret))
        return kExitFailed;
    std::vector<std::unique_ptr<CStreamFileReader>> shares;
    for (const std::string& path : options.shares) {
        shares.push_back(std::make_unique<CStreamFileReader>());
        if (!shares.back()->Open(path))
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
    const FrameBuffer secretFrame = AllocateFrame(secretHeader.FrameBytes(), "kvt measure: not enough memory");
    std::vector<FrameBuffer> shareFrames;
    std::vector<const BYTE*> shareRows;
    for (int s = 0; s < shareCount && secretFrame; ++s) {
        shareFrames.push_back(AllocateFrame(shareHeader.FrameBytes(), "kvt measure: not enough memory"));
        if (!shareFrames.back())
            return kExitFailed;
        shareRows.push_back(shareFrames.back().get());
    }
    if (!secretFrame)
        return kExitFailed;
    std::optional<CCsvOutput> csv;
    if (options.csv && !csv.emplace(*options.csv).Open())
        return kExitFailed;

    CShareMeasurement measurement(secretHeader.width, secretHeader.height, *block, shareCount,
                                  options.subsets.value_or(1));
    CGreySecretCheck greyCheck;
    MeasureResults results;
    CProgressLine progress("Measuring", frames, common.quiet);
    const std::uint64_t frameBytes =
        secretHeader.frameSize + std::uint64_t{shareHeader.frameSize} * static_cast<unsigned>(shareCount);
    for (unsigned k = 0; k < frames; ++k) {
        if (!secret.ReadFrame(secretFrame.get()))
            return kExitFailed;
        for (int s = 0; s < shareCount; ++s)
            if (!shares[static_cast<std::size_t>(s)]->ReadFrame(shareFrames[static_cast<std::size_t>(s)].get()))
                return kExitFailed;
        greyCheck.CountFrame(secretFrame.get(), secretHeader);
        results.frames.push_back(measurement.MeasureFrame(secretFrame.get(),
                                                          static_cast<std::size_t>(secretHeader.RowStride()),
                                                          shareRows,
                                                          static_cast<std::size_t>(shareHeader.RowStride())));
        if (csv && !csv->Add(k, results.frames.back()))
            return kExitFailed;
        progress.Advance(frameBytes);
    }
    progress.Finish();
    if (csv && !csv->Commit())
        return kExitFailed;

    greyCheck.Warn(std::cerr, "kvt measure", options.secret);
    results.stream = measurement.StreamFigures();
    results.leakTests = &measurement.GetLeakTests();
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
        "the shares' size divided by the secret's (m subpixels), frame by frame for as many frames as\n"
        "all hold. Only 0 counts as black in the secret too: grey pixels are measured as white.\n"
        "\n"
        "Figures, for the stream as a whole and as min / median / max over frames:\n"
        "  h/m, l/m    share of black subpixels in stacked blocks over black / white secret pixels\n"
        "  alpha       relative difference (h - l) / m\n"
        "  beta        light contrast (T_white - T_black) / (1 + T_black), T = 1 - darkness\n"
        "  error rate  share of secret pixels whose block is on the wrong side of the midpoint between\n"
        "              the two darknesses (a block at the midpoint counts half)\n"
        "  SSIM, PSNR  the stacked picture reduced to the secret's size by averaging each block, made\n"
        "              grey so that darkness h/m shows as 0 and l/m as 255 (linear between, clamped,\n"
        "              whole greys; each frame by its own darknesses, or those of the frames so far\n"
        "              where it has one colour), against the secret as 0 and 255. SSIM over 8 x 8\n"
        "              windows at steps of 4 (the whole picture when smaller), the stream's the mean\n"
        "              of its frames'; PSNR 10 log10(255^2 / MSE), inf (null in JSON) where MSE is 0\n"
        "  crawl       share of stacked subpixels that change from a frame to the next where the\n"
        "              secret pixel keeps its colour\n"
        "Security: each share alone (and with --subsets K every stack of K shares): its darkness over\n"
        "black and white secret pixels and a chi-square test of its block patterns (without blocks:\n"
        "of 2 x 2 windows of pixels over one colour; blocks of more than 16 subpixels by their count\n"
        "of black) against the secret's colour; LEAKS where the p-value is under 0.001.\n"
        "\n"
        "--json keys: secret {file, width, height}, shares {files, width, height}, block {width,\n"
        "height, subpixels}, frames, grey_pixels, stream / frames_min / frames_median / frames_max\n"
        "{black_darkness (h/m), white_darkness (l/m), alpha, beta, error_rate, ssim, psnr_db, mse,\n"
        "crawl}, security_units, security [{shares (from 1), black_darkness, white_darkness,\n"
        "chi_square, degrees_of_freedom, p_value, leaks}]; null where a figure has no value.\n"
        "--csv columns: frame (from 0) and the figure keys above; empty where no value.",
        [options](const CommonOptions& common) { return RunMeasure(*options, common); });
    measure.AddOption("--secret", options->secret, "The secret the shares were made from")
        .Required()
        .TypeName("SECRET");
    measure.AddOption("SHARE", options->shares, "The shares, stacked together").Required();
    measure.AddFlag("--json", options->json, "Print one JSON object instead of the table");
    measure.AddOption("--csv", options->csv, "Write one row of figures per frame").TypeName("FILE");
    measure.AddOption("--subsets", options->subsets, "Test every stack of K shares for leaks too")
        .TypeName("K")
        .Check(WholeNumberFrom(1, 1000));  // more than the shares given is refused with them in view
}
