// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Only black (0) stays black when a secret is split into shadows: every grey pixel of a secret
// shows as white once the shadows are stacked, so a grey photograph reveals almost nothing. Counts
// the grey pixels frame by frame, so a streaming command can warn without holding the stream.

#include <cstdint>
#include <iosfwd>
#include <string_view>

#include "stream/ImageStream.h"

class CGreySecretCheck {
public:
    // A frame of `secret`, its rows at the stream's row stride.
    void CountFrame(const BYTE* frame, const KvtHeader& secret);

    std::uint64_t GetGreyPixels() const { return m_greyPixels; }

    // When grey pixels were counted: a warning on `err` that they will show as white, and how to
    // make a black-and-white secret. `command` and `secret` name the run, as "kvt shadows" and a path.
    void Warn(std::ostream& err, std::string_view command, std::string_view secret) const;

private:
    std::uint64_t m_greyPixels = 0;
};
