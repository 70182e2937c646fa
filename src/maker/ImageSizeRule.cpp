// SPDX-License-Identifier: GPL-3.0-or-later
#include "maker/ImageSizeRule.h"

#include "framework/DataExchange.h"

std::optional<std::string> ReadImageSide(std::string_view text, std::int32_t& side)
{
    std::int64_t value = 0;
    auto refusal = ReadNumberInRange(text, NumberKind::Signed, kMinImageSide, kMaxImageSide, value);
    if (!refusal)
        side = static_cast<std::int32_t>(value);
    return refusal;
}
