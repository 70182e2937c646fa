// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/ShadowTitles.h"

#include <algorithm>
#include <cctype>

std::string StreamBaseName(std::string_view title)
{
    constexpr std::string_view ext = ".kvt";
    if (title.size() >= ext.size()) {
        const std::string_view tail = title.substr(title.size() - ext.size());
        const bool isKvt = std::equal(tail.begin(), tail.end(), ext.begin(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == b;
        });
        if (isKvt)
            title.remove_suffix(ext.size());
    }
    return std::string(title);
}

std::string ShadowTitle(std::string_view source, int shadow)
{
    const std::string suffix = "Shadow" + std::to_string(shadow);
    return source.empty() ? suffix : StreamBaseName(source) + "-" + suffix;
}

std::string InterlacedTitle(std::string_view secret, int mode)
{
    if (mode == 1)
        return secret.empty() ? "New-Interlaced-Mode1-Stream"
                              : StreamBaseName(secret) + "-Interlaced-Mode1-Stream";
    return secret.empty() ? "Interlaced-Mode2-Stream" : StreamBaseName(secret) + "-Interlaced-Mode2-Stream";
}
