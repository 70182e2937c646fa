// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shadows of a secret made frame by frame as the secret is read: for kvt shadows and for the
// fresh pair of kvt interlace --mode 2. Each frame's pair is made as CreateVSSShadows makes it, in
// the same order, so a seeded source gives the same shadows.

#include "stream/ImageStream.h"
#include "vss/ShadowFrameMaker.h"

class CPatternSource;
class CStreamFileReader;

class CStreamedShadows {
public:
    // The checks CreateVSSShadows makes on the secret before its first frame, and the buffers;
    // false after the message.
    bool Prepare(const KvtHeader& secret);

    // The header both shadows have: twice the secret's width and height, its frame count.
    const KvtHeader& GetShadowHeader() const { return m_shadowHeader; }

    // Reads the secret's next frame and makes its pair; false after the message.
    bool MakeNext(CStreamFileReader& secret, CPatternSource& source);
    // The secret's frame the last pair was made of.
    const BYTE* GetSecret() const { return m_secret.get(); }
    const BYTE* GetShadow1() const { return m_shadow1.get(); }
    const BYTE* GetShadow2() const { return m_shadow2.get(); }

private:
    KvtHeader m_shadowHeader;
    CShadowFrameMaker m_maker;
    FrameBuffer m_secret;
    FrameBuffer m_shadow1;
    FrameBuffer m_shadow2;
};
