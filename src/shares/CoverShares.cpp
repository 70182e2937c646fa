// SPDX-License-Identifier: GPL-3.0-or-later
#include "shares/CoverShares.h"

#include <algorithm>
#include <ostream>
#include <string>

#include "shares/KeyRandomness.h"
#include "stream/StreamFiles.h"
#include "io/Message.h"
#include "stream/StreamFileReader.h"
#include "vss/KeyShare.h"
#include "vss/VssMessages.h"

namespace fs = std::filesystem;
using namespace vss_messages;

namespace {
constexpr const char* kCommand = "kvt shadows";

// A cover may hold only black and white: a grey would show as white, and silently.
std::optional<std::string> CoverFault(const BYTE* frame, const KvtHeader& header)
{
    for (int y = 0; y < header.height; ++y) {
        const BYTE* row = frame + static_cast<std::size_t>(y) * static_cast<std::size_t>(header.RowStride());
        // Black 0 and white 255 turn 1 and 0, a grey more: the loop without an exit vectorises, and
        // the grey is looked for only in a row that has one.
        BYTE most = 0;
        for (int x = 0; x < header.width; ++x)
            most = std::max(most, static_cast<BYTE>(row[x] + 1));
        if (most <= 1)
            continue;
        for (int x = 0; x < header.width; ++x) {
            if (row[x] != 0 && row[x] != 255)
                return "grey " + std::to_string(row[x]) + " at (" + std::to_string(x) + ", " + std::to_string(y) +
                       "), where a cover is black and white: make it with kvt import, halftoned";
        }
    }
    return std::nullopt;
}

// Whether a cover's frame is black exactly where the secret's is: the share made on it would show
// the secret on its own.
bool ShowsSecret(const BYTE* cover, const BYTE* secret, const KvtHeader& header)
{
    for (std::size_t at = 0; at < header.FrameBytes(); ++at)
        if ((cover[at] == 0) != (secret[at] == 0))
            return false;
    return true;
}

std::optional<std::string> KeyFault(const BYTE* frame, const KvtHeader& header)
{
    const auto width = static_cast<std::size_t>(header.width / 2), height = static_cast<std::size_t>(header.height / 2);
    const auto fault = key_share::FindKeyFault(frame, width, height);
    if (!fault)
        return KeyRandomnessFault(frame, width, height);
    const std::size_t x = 2 * fault->blockX, y = 2 * fault->blockY;
    return "the block at (" + std::to_string(x) + ", " + std::to_string(y) + ") to (" + std::to_string(x + 1) + ", " +
           std::to_string(y + 1) + ") has " + fault->what;
}
}  // namespace

CCoverShares::CCoverShares()
    : m_covers{CMatchedStream(kCommand, "cover", CoverFault), CMatchedStream(kCommand, "cover", CoverFault)}
{
}

CCoverShares::~CCoverShares() = default;

bool CCoverShares::Prepare(const KvtHeader& secret, const fs::path& cover1, const fs::path& cover2,
                           CRandomSource& random)
{
    m_pRandom = &random;
    if (!InitializeShareHeader(secret, 2, 2, m_shareHeader))
        return false;
    const int width = secret.width, height = secret.height;
    // Bands of cells of about as many bytes as a scheme's.
    const std::size_t blockRowBytes = 2 * CellPitch(static_cast<std::size_t>(m_shareHeader.width));
    m_nBandRows = std::clamp<std::size_t>(kBandBytes / blockRowBytes, 1, static_cast<std::size_t>(std::max(1, height)));
    // The secret's frame and the covers', two sets of bands and a band a share as it is written.
    if (!MemoryFor({{3, secret.FrameBytes()}, {3, m_nBandRows * blockRowBytes}}, kShadowsNoMemory1))
        return false;
    const std::string hint =
        " (kvt import --size " + std::to_string(width) + "x" + std::to_string(height) + " makes one)";
    if (!m_covers[0].Open(cover1, width, height, hint) || !m_covers[1].Open(cover2, width, height, hint))
        return false;
    if (!m_maker.Prepare(static_cast<std::size_t>(width), static_cast<std::size_t>(height),
                         static_cast<std::size_t>(secret.RowStride()))) {
        ShowMessage(kShadowsNoMemory1);
        return false;
    }
    return (m_secret = AllocateFrame(secret.FrameBytes(), kNotEnoughMemory)) &&
           m_cells.Allocate(1, m_nBandRows * blockRowBytes);
}

bool CCoverShares::MakeNext(CStreamFileReader& secret)
{
    if (!secret.ReadFrame(m_secret.get()))
        return false;
    const BYTE* cover1 = m_covers[0].Next();
    const BYTE* cover2 = cover1 ? m_covers[1].Next() : nullptr;
    if (cover2 == nullptr)
        return false;
    ++m_nFrame;
    for (std::size_t c = 0; c < m_covers.size(); ++c)
        if (ShowsSecret(c == 0 ? cover1 : cover2, m_secret.get(), secret.GetHeader())) {
            m_covers[c].Refuse("the cover of the secret's frame " + std::to_string(m_nFrame) +
                               " is black where the secret is: a share made on it shows the secret on its own");
            return false;
        }
    m_coverFrames = {cover1, cover2};
    return true;
}

bool CCoverShares::MakeBand(std::size_t y, std::size_t rows)
{
    m_nLastRows = rows;
    if (m_maker.MakeCells(m_secret.get(), m_coverFrames[0], m_coverFrames[1], *m_pRandom, y, rows, m_cells.Next()[0]))
        return true;
    ShowMessage(kShadowsNoPatterns);
    return false;
}

std::optional<CellRows> CCoverShares::GetCells() const
{
    return CellRows{m_cells.Get(0), m_maker.GetPitch(), static_cast<std::size_t>(m_shareHeader.width), 2 * m_nLastRows};
}

CKeyedShare::CKeyedShare() : m_key(kCommand, "key", KeyFault) {}

CKeyedShare::~CKeyedShare() = default;

bool CKeyedShare::Prepare(const KvtHeader& secret, const fs::path& key)
{
    m_keyPath = key;
    return InitializeShareHeader(secret, 2, 2, m_shareHeader) &&
           m_key.Open(key, m_shareHeader.width, m_shareHeader.height, ": a first share of this secret's size") &&
           (m_secret = AllocateFrame(secret.FrameBytes(), kNotEnoughMemory)) &&
           m_share.Allocate(1, m_shareHeader.FrameBytes(), 2);
}

bool CKeyedShare::MakeNext(CStreamFileReader& secret)
{
    const BYTE* key = secret.ReadFrame(m_secret.get()) ? m_key.Next() : nullptr;
    if (key == nullptr)
        return false;
    const KvtHeader& header = secret.GetHeader();
    key_share::MakeKeyedShare(m_secret.get(), static_cast<std::size_t>(header.width),
                              static_cast<std::size_t>(header.height), static_cast<std::size_t>(header.RowStride()),
                              key, m_share.Next()[0]);
    return true;
}

void CKeyedShare::WarnOfReuse(std::ostream& err, const fs::path& secret) const
{
    // The key's randomness is all there is: each of its frames used twice gives away a difference.
    err << kCommand << ": warning: a key serves one secret: whoever holds two shares made against "
        << m_keyPath.string() << " can stack them and see where their secrets differ";
    if (m_key.GetFrameCount() < m_shareHeader.frameCount)
        err << "; and since it has fewer frames than " << secret.string()
            << ", two frames of this share stacked show where those frames differ";
    err << ".\n";
}
