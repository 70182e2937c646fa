// SPDX-License-Identifier: GPL-3.0-or-later
#include "shares/ShareWriting.h"

#include <algorithm>
#include <ostream>

#include "io/OutputCheck.h"
#include "io/WorkBehind.h"
#include "shares/CoverShares.h"
#include "shares/SchemeShares.h"
#include "stream/StreamFileReader.h"
#include "stream/StreamFiles.h"
#include "vss/ExtendedShares.h"
#include "vss/RandomSource.h"
#include "vss/ShadowTitles.h"
#include "vss/VssMessages.h"

namespace fs = std::filesystem;

namespace {
// A band of every share as it was made: each share's rows, or the cells they are spread from.
struct MadeBand {
    std::vector<const BYTE*> shares;
    std::optional<CellRows> cells;
    std::size_t rows = 0;  // of each share; 0: its whole frame
};

// Each share's band to its file, spread from the cells into `spread` (a band of one share) where
// it was made as cells; false after the message.
bool WriteBand(COutputSet& outputs, const MadeBand& band, BYTE* spread, std::size_t stride)
{
    for (std::size_t i = 0; i < band.shares.size(); ++i) {
        const BYTE* rows = band.shares[i];
        if (band.cells) {
            band.cells->Spread(static_cast<int>(i), spread, stride);
            rows = spread;
        }
        CStreamFileWriter& writer = outputs.GetWriter(i);
        if (!(band.rows == 0 ? WriteOutputFrame(writer, rows) : WriteOutputRows(writer, rows, band.rows)))
            return false;
    }
    return true;
}
}  // namespace

CShareWriting::CShareWriting() = default;
CShareWriting::~CShareWriting() = default;

bool CShareWriting::Prepare(const ShareRequest& request)
{
    m_secretPath = request.secret;
    m_seed = ChooseSeed(request.seed);
    m_secret = std::make_unique<CStreamFileReader>();
    if (!OpenInput(*m_secret, m_secretPath) || !PrepareShares(request))
        return false;
    const std::string title = request.title.empty() ? m_secretPath.filename().string() : request.title;
    m_paths.clear();
    for (int i = 0; i < m_shares->GetShareCount(); ++i)
        m_paths.push_back(request.folder / (ShadowTitle(title, m_shares->GetShareNumber(i)) + ".kvt"));
    std::vector<fs::path> inputs{m_secretPath};
    if (const auto* covers = std::get_if<CoverPair>(&request.kind))
        inputs.insert(inputs.end(), {covers->first, covers->second});
    else if (const auto* key = std::get_if<KeyStream>(&request.kind))
        inputs.push_back(key->path);
    return CheckOutputs("kvt shadows", m_paths, inputs);
}

bool CShareWriting::PrepareShares(const ShareRequest& request)
{
    const KvtHeader& secret = m_secret->GetHeader();
    m_heading.clear();
    if (const auto* scheme = std::get_if<Scheme>(&request.kind)) {
        auto shares = std::make_unique<CSchemeShares>();
        if (!shares->Prepare(*scheme, secret, m_seed))
            return false;
        m_shares = std::move(shares);
        if (!(scheme->choice == SchemeChoice{}))
            m_heading = "scheme: " + DescribeScheme(*scheme) + "\n";
        m_heading += "seed: " + m_seed.description + "\n";
    } else if (const auto* key = std::get_if<KeyStream>(&request.kind)) {
        auto keyed = std::make_unique<CKeyedShare>();
        if (!keyed->Prepare(secret, key->path))
            return false;
        m_pKey = keyed.get();
        m_shares = std::move(keyed);
    } else {
        const auto& covers = std::get<CoverPair>(request.kind);
        auto covered = std::make_unique<CCoverShares>();
        if (!(m_random = MakeRandomSource(m_seed)) ||
            !covered->Prepare(secret, covers.first, covers.second, *m_random))
            return false;
        m_shares = std::move(covered);
        m_heading = std::string("scheme: ") + extended_shares::kDescription + "\nseed: " + m_seed.description + "\n";
    }
    return true;
}

const KvtHeader& CShareWriting::GetShareHeader() const
{
    return m_shares->GetShareHeader();
}

ShareResult CShareWriting::Write(const ShareProgressHook& progress, std::stop_token stop)
{
    const int n = m_shares->GetShareCount();
    const KvtHeader& shape = m_shares->GetShareHeader();
    const auto height = static_cast<std::size_t>(m_secret->GetHeader().height);
    const std::size_t blockHeight = height == 0 ? 0 : static_cast<std::size_t>(shape.height) / height;
    const std::size_t bandRows = m_shares->GetBandRows() == 0 ? height : std::min(height, m_shares->GetBandRows());
    const auto stride = static_cast<std::size_t>(shape.RowStride());
    // Bands made as cells are spread a share at a time by the writing, into a band of its own.
    FrameBuffer spread;
    if (m_shares->GetCells() && !(spread = AllocateFrame(bandRows * blockHeight * stride, vss_messages::kShadowsNoMemory1)))
        return ShareResult::Failed;
    // Every share or none: a threshold counts on all of them.
    COutputSet outputs;
    if (!outputs.Open(m_paths, shape, shape.frameCount))
        return ShareResult::Failed;
    m_greyCheck = CGreySecretCheck();
    // Each band is written on a thread of its own while the next is made.
    CWorkBehind writing;
    for (std::uint32_t frame = 0; frame < shape.frameCount; ++frame) {
        if (stop.stop_requested())
            return ShareResult::Stopped;
        if (!m_shares->MakeNext(*m_secret))
            return ShareResult::Failed;
        m_greyCheck.CountFrame(m_shares->GetSecret(), m_secret->GetHeader());
        // A band at least, the whole frame for frames of no rows.
        std::size_t y = 0;
        do {
            const std::size_t rows = std::min(bandRows, height - y);
            if (!m_shares->MakeBand(y, rows))
                return ShareResult::Failed;
            MadeBand band{{}, m_shares->GetCells(), rows == height ? 0 : rows * blockHeight};
            for (int i = 0; i < n; ++i)
                band.shares.push_back(m_shares->GetShare(i));
            if (!writing.Post([&outputs, band, &spread, stride] { return WriteBand(outputs, band, spread.get(), stride); }))
                return ShareResult::Failed;
            y += rows;
            if (y < height && stop.stop_requested())
                return ShareResult::Stopped;
        } while (y < height);
        const ShareProgress done{frame + 1, shape.frameCount, static_cast<std::uint64_t>(n) * shape.frameSize};
        if (progress && !progress(done))
            return ShareResult::Stopped;
    }
    if (!writing.Finish())
        return ShareResult::Failed;
    if (stop.stop_requested())
        return ShareResult::Stopped;
    if (!outputs.Commit())
        return ShareResult::Failed;
    return ShareResult::Written;
}

void CShareWriting::WarnAfterWriting(std::ostream& err) const
{
    m_greyCheck.Warn(err, "kvt shadows", m_secretPath.string());
    if (m_pKey)
        m_pKey->WarnOfReuse(err, m_secretPath);
}
