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

namespace fs = std::filesystem;

namespace {
// Each share's band of `rows` rows (0: its whole frame) to its file; false after the message.
bool WriteBand(COutputSet& outputs, const std::vector<const BYTE*>& band, std::size_t rows)
{
    for (std::size_t i = 0; i < band.size(); ++i) {
        CStreamFileWriter& writer = outputs.GetWriter(i);
        if (!(rows == 0 ? WriteOutputFrame(writer, band[i]) : WriteOutputRows(writer, band[i], rows)))
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
    // Every share or none: a threshold counts on all of them.
    COutputSet outputs;
    if (!outputs.Open(m_paths, shape, shape.frameCount))
        return ShareResult::Failed;
    const auto height = static_cast<std::size_t>(m_secret->GetHeader().height);
    const std::size_t blockHeight = height == 0 ? 0 : static_cast<std::size_t>(shape.height) / height;
    const std::size_t bandRows = m_shares->GetBandRows() == 0 ? height : std::min(height, m_shares->GetBandRows());
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
            std::vector<const BYTE*> band(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i)
                band[static_cast<std::size_t>(i)] = m_shares->GetShare(i);
            const std::size_t shareRows = rows == height ? 0 : rows * blockHeight;
            if (!writing.Post([&outputs, band, shareRows] { return WriteBand(outputs, band, shareRows); }))
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
