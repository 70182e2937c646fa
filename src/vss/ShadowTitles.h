// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Titles and file names of the streams made from a source stream: "movie.kvt" (or "movie.KVT", or
// "movie") gives "movie-Shadow1", "movie-Shadow2", "movie-Interlaced-Mode1-Stream", ...; an empty
// source title gives the fixed fallbacks.

#include <string>
#include <string_view>

// The title without a final ".kvt" in any case.
std::string StreamBaseName(std::string_view title);

// Shadow (share) number `shadow` of the stream titled `source`, from 1.
std::string ShadowTitle(std::string_view source, int shadow);

// The interlaced stream (mode 1 or 2) of the secret titled `secret`.
std::string InterlacedTitle(std::string_view secret, int mode);

inline constexpr std::string_view kStackedTitle = "New-Stacked-Stream";
