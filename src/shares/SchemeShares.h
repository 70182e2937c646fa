// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shares of a secret by a scheme of the catalogue, made frame by frame as the secret is read,
// and a band of rows at a time where the maker can, so that memory holds a few megabytes of shares
// whatever their number and block size.
// Naor-Shamir (2, 2) takes the classic patterns of --seed's choice, so it writes what the player
// writes; the other schemes draw from a ChaCha20 stream keyed by the system or by the seed.

#include <memory>
#include <vector>

#include "shares/SeedChoice.h"
#include "shares/ShareStreams.h"
#include "stream/ImageStream.h"
#include "vss/SchemeCatalogue.h"

class CCellShareMaker;
class CRandomSource;
class CShareMaker;

class CSchemeShares final : public CShareStreams {
public:
    CSchemeShares();
    ~CSchemeShares() override;
    CSchemeShares(const CSchemeShares&) = delete;
    CSchemeShares& operator=(const CSchemeShares&) = delete;

    // Checks the secret (a size the shares' headers can say, some frames), gets the random bits
    // and the buffers; false after the message. `seed` must outlive this.
    bool Prepare(const Scheme& scheme, const KvtHeader& secret, SeedChoice& seed);

    // The header every share has: the secret's size times the scheme's block, its frame count.
    const KvtHeader& GetShareHeader() const override { return m_shareHeader; }
    int GetShareCount() const override { return m_nShares; }

    // Reads the secret's next frame; false after the message.
    bool MakeNext(CStreamFileReader& secret) override;
    const BYTE* GetSecret() const override { return m_secret.get(); }
    std::size_t GetBandRows() const override { return m_nBandRows; }
    bool MakeBand(std::size_t y, std::size_t rows) override;
    const BYTE* GetShare(int i) const override { return m_pCellMaker ? nullptr : m_shares.Get(i); }
    std::optional<CellRows> GetCells() const override;

private:
    KvtHeader m_shareHeader;
    std::unique_ptr<CRandomSource> m_random;
    std::unique_ptr<CShareMaker> m_maker;
    CCellShareMaker* m_pCellMaker = nullptr;  // m_maker, where it makes cells
    int m_nShares = 0;
    FrameBuffer m_secret;
    std::size_t m_nBlockHeight = 1;
    std::size_t m_nBandRows = 0;
    std::size_t m_nLastRows = 0;  // secret rows of the band last made
    CShareSets m_shares;  // a band of each share, or of cells (as one share)
};
