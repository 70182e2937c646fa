// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shares made frame by frame as a secret is read, whatever makes them (a scheme of the catalogue,
// two covers, a key): kvt shadows writes them all alike.

#include <cstddef>
#include <optional>
#include <vector>

#include "stream/ImageStream.h"
#include "vss/CellRows.h"

class CStreamFileReader;

class CShareStreams {
public:
    virtual ~CShareStreams() = default;

    // The header every share has.
    virtual const KvtHeader& GetShareHeader() const = 0;
    virtual int GetShareCount() const = 0;
    // The number in share i's name, BASE-ShadowN.kvt.
    virtual int GetShareNumber(int i) const { return i + 1; }

    // Each frame or band of the shares is made into the other of two sets of buffers, so that the
    // one made before can still be written while it is made.

    // Reads the secret's next frame, and makes its shares where they are made whole; false after
    // the message.
    virtual bool MakeNext(CStreamFileReader& secret) = 0;
    // The secret's frame the last shares were made of.
    virtual const BYTE* GetSecret() const = 0;

    // The bands of every share together, or a band's cells, take about this many bytes, a block
    // row at least (twice: one set is written while the other is made). Small enough that the
    // writing finds them in the processor's cache.
    static constexpr std::size_t kBandBytes = std::size_t{1} << 20;

    // Secret rows a band of the shares holds; 0: the whole frame, made by MakeNext.
    virtual std::size_t GetBandRows() const { return 0; }
    // Makes the shares of secret rows [y, y + rows) of the frame MakeNext read, the frame's bands
    // top to bottom; false after the message.
    virtual bool MakeBand(std::size_t /*y*/, std::size_t /*rows*/) { return true; }
    // Share i's band (or frame) last made; null where it was made as cells.
    virtual const BYTE* GetShare(int i) const = 0;
    // The cells of the band last made where it was made as cells, each share's rows to be spread
    // from them as it is written; none where GetShare gives the shares.
    virtual std::optional<CellRows> GetCells() const { return std::nullopt; }
};

// A buffer a share in two sets, made into in turn.
class CShareSets {
public:
    // Buffers of `bytes` for `shares` shares, numbered from `first` in the messages; false after
    // the message.
    bool Allocate(std::size_t shares, std::size_t bytes, int first = 1);
    // The other set, now the one last made: where to make the next frame or band.
    BYTE* const* Next();
    // Share i's buffer in the set last made.
    std::size_t GetCount() const { return m_nShares; }
    const BYTE* Get(int i) const { return m_pointers[m_nSet * m_nShares + static_cast<std::size_t>(i)]; }

private:
    std::vector<FrameBuffer> m_buffers;
    std::vector<BYTE*> m_pointers;
    std::size_t m_nShares = 0;
    std::size_t m_nSet = 1;
};

// The header of shares whose blocks are blockWidth x blockHeight cells a secret pixel: a size the
// header can say, the secret's frame count. False after the message, also for a secret without
// frames.
bool InitializeShareHeader(const KvtHeader& secret, int blockWidth, int blockHeight, KvtHeader& shareHeader);
