// SPDX-License-Identifier: GPL-3.0-or-later
#include "shares/SchemeShares.h"

#include <algorithm>

#include "stream/StreamFiles.h"
#include "io/Message.h"
#include "stream/StreamFileReader.h"
#include "vss/CellShareMaker.h"
#include "vss/ClassicShareMaker.h"
#include "vss/RandomSource.h"
#include "vss/ShareMaker.h"
#include "vss/VssMessages.h"

using namespace vss_messages;

CSchemeShares::CSchemeShares() = default;
CSchemeShares::~CSchemeShares() = default;

namespace {
bool IsClassic(const Scheme& scheme)
{
    return scheme.choice == SchemeChoice{SchemeFamily::NaorShamir, 2, 2, 0};
}
}  // namespace

bool CSchemeShares::Prepare(const Scheme& scheme, const KvtHeader& secret, SeedChoice& seed)
{
    if (!InitializeShareHeader(secret, scheme.promise.blockWidth, scheme.promise.blockHeight, m_shareHeader))
        return false;
    const auto w = static_cast<std::size_t>(secret.width), h = static_cast<std::size_t>(secret.height);
    if (IsClassic(scheme)) {
        m_maker = std::make_unique<CClassicShareMaker>(w, h, *seed.source);
    } else {
        if (!(m_random = MakeRandomSource(seed)))
            return false;
        m_maker = MakeShareMaker(scheme, w, h, *m_random);
    }
    if (!m_maker) {
        ShowMessage(kShadowsNoMemory1);
        return false;
    }
    m_pCellMaker = dynamic_cast<CCellShareMaker*>(m_maker.get());
    m_nShares = scheme.choice.n;
    m_nBlockHeight = static_cast<std::size_t>(scheme.promise.blockHeight);
    // A band's cells are one buffer, its shares one each.
    const std::size_t buffers = m_pCellMaker ? 1 : static_cast<std::size_t>(scheme.choice.n);
    const std::size_t rowBytes = m_pCellMaker ? CellPitch(static_cast<std::size_t>(m_shareHeader.width))
                                              : static_cast<std::size_t>(m_shareHeader.RowStride());
    const std::size_t blockRowBytes = m_nBlockHeight * rowBytes;
    m_nBandRows = h;
    if (m_maker->MakesBands())
        m_nBandRows = std::min(h, std::max<std::size_t>(1, kBandBytes / std::max<std::size_t>(1, buffers * blockRowBytes)));
    // The secret's frame and the bands are all that is held: two sets, and a band a share as it is
    // written where the bands are cells.
    const std::size_t bandBytes = m_nBandRows * blockRowBytes;
    if (!MemoryFor({{1, secret.FrameBytes()}, {2 * buffers + 1, bandBytes}}, kShadowsNoMemory1))
        return false;
    return (m_secret = AllocateFrame(secret.FrameBytes(), kNotEnoughMemory)) && m_shares.Allocate(buffers, bandBytes);
}

bool CSchemeShares::MakeNext(CStreamFileReader& secret)
{
    return secret.ReadFrame(m_secret.get());
}

bool CSchemeShares::MakeBand(std::size_t y, std::size_t rows)
{
    m_nLastRows = rows;
    if (m_pCellMaker ? m_pCellMaker->MakeCells(m_secret.get(), y, rows, m_shares.Next()[0])
                     : m_maker->MakeBand(m_secret.get(), y, rows, m_shares.Next()))
        return true;
    ShowMessage(kShadowsNoPatterns);
    return false;
}

std::optional<CellRows> CSchemeShares::GetCells() const
{
    if (!m_pCellMaker)
        return std::nullopt;
    const auto width = static_cast<std::size_t>(m_shareHeader.width);
    return CellRows{m_shares.Get(0), CellPitch(width), width, m_nLastRows * m_nBlockHeight};
}
