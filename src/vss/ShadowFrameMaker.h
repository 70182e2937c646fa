// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shadows of a secret stream, one frame at a time. CreateVSSShadows makes each of its frames
// with this and kvt makes them as it reads, so both draw the same patterns from a source, in the
// same order, and write the same bytes.

#include <cstddef>
#include <memory>

#include "stream/ImageStream.h"
#include "vss/ShadowKernels.h"

class CPatternSource;

class CShadowFrameMaker {
public:
    // True when the shadows of a width x height secret, twice as wide and high, have a size a
    // header can say; otherwise shows the shadow-1 memory message.
    static bool CheckSecretSize(int width, int height);

    // Ready for secret frames of `secret`'s shape (a checked size); false after the shadow-1
    // memory message when the scratch can't be had.
    bool Prepare(const KvtHeader& secret);

    // The shadows of one secret frame into two frame buffers of the shadows' shape whose alignment
    // bytes are 0 (they are never written). False, after the message, when the source runs dry.
    bool Make(const BYTE* secret, CPatternSource& source, BYTE* shadow1, BYTE* shadow2) const;

private:
    const shadow_kernels::Kernels* m_pKernels = nullptr;
    std::size_t m_nWidth = 0;
    std::size_t m_nHeight = 0;
    std::size_t m_nStride = 0;
    std::unique_ptr<std::uint8_t[]> m_indices;
};
