// SPDX-License-Identifier: GPL-3.0-or-later
#include "shares/GreySecretCheck.h"

#include <ostream>

void CGreySecretCheck::CountFrame(const BYTE* frame, const KvtHeader& secret)
{
    const int width = secret.width;
    const auto stride = static_cast<std::size_t>(secret.RowStride());
    for (int y = 0; y < secret.height; ++y) {
        const BYTE* row = frame + static_cast<std::size_t>(y) * stride;
        unsigned grey = 0;  // a row has at most 65536 pixels
        for (int x = 0; x < width; ++x)
            grey += static_cast<std::uint8_t>(row[x] - 1) < 254;
        m_greyPixels += grey;
    }
}

void CGreySecretCheck::Warn(std::ostream& err, std::string_view command, std::string_view secret) const
{
    if (m_greyPixels == 0)
        return;
    err << command << ": warning: " << secret << " has " << m_greyPixels
        << " grey pixels, which will show as white: only black (0) stays black in shadows. "
           "'kvt import --dither' makes a black-and-white secret.\n";
}
