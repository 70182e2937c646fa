// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Building a .kvt file from headerless raw images, each exactly one frame of width * height grey
// bytes. Used by the maker wizard and by `kvt make`.

#include <cstdint>
#include <filesystem>
#include <vector>

enum class RawFileFit { matches, wrongSize, unknownSize };

// Whether the file at `path` holds exactly `frameSize` bytes; unknownSize when its status can't be
// read (a missing file, for instance).
RawFileFit CheckRawFile(const std::filesystem::path& path, std::uint64_t frameSize);

// Writes the header and then the first width * height bytes of each raw file as one frame, in
// order, copying one frame at a time through a single buffer. The target is replaced only when every
// frame was written; otherwise it is left as it was and the reason has been shown: "File Create
// Error", "Open File Error", a raw file shorter than one frame, or more than 65535 files.
// `withReason` adds the target and why it could not be written to "File Create Error".
// Precondition: width and height are within 1..1000 (the caller has checked them).
bool WriteRawStream(const std::filesystem::path& target, std::int32_t width, std::int32_t height,
                    const std::vector<std::filesystem::path>& rawFiles, bool withReason = false);
