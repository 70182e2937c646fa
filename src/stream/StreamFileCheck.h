// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tests a .kvt file passes before its frames are read. A refusal has shown its message when
// a test returns false.

#include <cstdint>
#include <filesystem>

class CFile;
struct KvtHeader;

// The test every open of a .kvt file by name passes before a document is made for it: the file
// opens, starts with "KV", and is exactly 24 + frame count * frame size bytes long.
// Opens `path` into `file` and tests it there; the load then reads the same open file.
bool CheckStreamFile(const std::filesystem::path& path, CFile& file);

// Refuses, with a message, a header whose pictures can't be drawn or of whose frames
// `framesInMemory` can't be held at once in the memory the process can get.
bool CheckFrameGeometry(const KvtHeader& header, std::uint64_t framesInMemory);
