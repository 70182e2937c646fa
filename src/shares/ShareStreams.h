// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shares made frame by frame as a secret is read, whatever makes them (a scheme of the catalogue,
// two covers, a key): kvt shadows writes them all alike.

#include "stream/ImageStream.h"

class CStreamFileReader;

class CShareStreams {
public:
    virtual ~CShareStreams() = default;

    // The header every share has.
    virtual const KvtHeader& GetShareHeader() const = 0;
    virtual int GetShareCount() const = 0;
    // The number in share i's name, BASE-ShadowN.kvt.
    virtual int GetShareNumber(int i) const { return i + 1; }

    // Reads the secret's next frame, and makes its shares where they are made whole; false after
    // the message.
    virtual bool MakeNext(CStreamFileReader& secret) = 0;
    // The secret's frame the last shares were made of.
    virtual const BYTE* GetSecret() const = 0;

    // Secret rows a band of the shares holds; 0: the whole frame, made by MakeNext.
    virtual std::size_t GetBandRows() const { return 0; }
    // Makes the shares of secret rows [y, y + rows) of the frame MakeNext read, the frame's bands
    // top to bottom; false after the message.
    virtual bool MakeBand(std::size_t /*y*/, std::size_t /*rows*/) { return true; }
    // Share i's band (or frame) last made.
    virtual const BYTE* GetShare(int i) const = 0;
};

// The header of shares whose blocks are blockWidth x blockHeight cells a secret pixel: a size the
// header can say, the secret's frame count. False after the message, also for a secret without
// frames.
bool InitializeShareHeader(const KvtHeader& secret, int blockWidth, int blockHeight, KvtHeader& shareHeader);
