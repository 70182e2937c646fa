// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/DelayInput.h"

#include "framework/DataExchange.h"

std::optional<std::string> ReadDelay(std::string_view text, UINT& uDelay)
{
    std::int64_t value = 0;
    auto refusal = ReadNumberInRange(text, NumberKind::Unsigned, kMinDelay, kMaxDelay, value);
    if (!refusal)
        uDelay = static_cast<UINT>(value);
    return refusal;
}
