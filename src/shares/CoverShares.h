// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shares of kinds beyond the threshold schemes: two that each show a cover picture (extended
// shares), and a second share made against an existing first share, a key.

#include <array>
#include <filesystem>
#include <iosfwd>
#include <memory>

#include "shares/MatchedStream.h"
#include "shares/ShareStreams.h"
#include "vss/ExtendedShares.h"

class CRandomSource;

// BASE-Shadow1.kvt shows cover 1, BASE-Shadow2.kvt cover 2, and only the two stacked the secret.
class CCoverShares final : public CShareStreams {
public:
    CCoverShares();
    ~CCoverShares() override;

    // Checks the secret as every scheme does, opens the covers (black and white, the secret's size)
    // and gets the buffers; false after the message. `random` must outlive this.
    bool Prepare(const KvtHeader& secret, const std::filesystem::path& cover1, const std::filesystem::path& cover2,
                 CRandomSource& random);

    const KvtHeader& GetShareHeader() const override { return m_shareHeader; }
    int GetShareCount() const override { return 2; }
    // Reads the secret's and the covers' next frames and checks the covers against the secret.
    bool MakeNext(CStreamFileReader& secret) override;
    const BYTE* GetSecret() const override { return m_secret.get(); }
    std::size_t GetBandRows() const override { return m_nBandRows; }
    bool MakeBand(std::size_t y, std::size_t rows) override;
    const BYTE* GetShare(int) const override { return nullptr; }
    std::optional<CellRows> GetCells() const override;

private:
    KvtHeader m_shareHeader;
    CRandomSource* m_pRandom = nullptr;
    std::array<CMatchedStream, 2> m_covers;
    std::array<const BYTE*, 2> m_coverFrames{};  // the covers' frames of the secret's frame read
    std::uint32_t m_nFrame = 0;  // secret frames read, for the messages
    extended_shares::CExtendedShareMaker m_maker;
    FrameBuffer m_secret;
    std::size_t m_nBandRows = 0;
    std::size_t m_nLastRows = 0;  // secret rows of the band last made
    CShareSets m_cells;           // a band's, in two sets
};

// BASE-Shadow2.kvt alone: where the secret is white the key's blocks, where black their complement.
class CKeyedShare final : public CShareStreams {
public:
    CKeyedShare();
    ~CKeyedShare() override;

    // Checks the secret as every scheme does and opens the key (a first share of the secret's
    // shares' size, every block two of four black, checked frame by frame); false after the message.
    bool Prepare(const KvtHeader& secret, const std::filesystem::path& key);

    const KvtHeader& GetShareHeader() const override { return m_shareHeader; }
    int GetShareCount() const override { return 1; }
    int GetShareNumber(int) const override { return 2; }
    bool MakeNext(CStreamFileReader& secret) override;
    const BYTE* GetSecret() const override { return m_secret.get(); }
    const BYTE* GetShare(int) const override { return m_share.Get(0); }

    // What the key's reuse gives away, for stderr after the share is written.
    void WarnOfReuse(std::ostream& err, const std::filesystem::path& secret) const;

private:
    KvtHeader m_shareHeader;
    std::filesystem::path m_keyPath;
    CMatchedStream m_key;
    FrameBuffer m_secret;
    CShareSets m_share;
};
