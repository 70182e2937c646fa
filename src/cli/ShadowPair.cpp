#include "cli/ShadowPair.h"

#include "cli/StreamFiles.h"

std::optional<StreamPair> OpenShadowPair(const std::string& shadow1, const std::string& shadow2)
{
    auto first = OpenStream(shadow1);
    if (!first)
        return std::nullopt;
    auto second = OpenStream(shadow2);
    if (!second)
        return std::nullopt;
    return StreamPair{std::move(first), std::move(second)};
}
