#pragma once
// The test every open of a .kvt file by name passes before a document is made for it: the file
// opens, starts with "KV", and is exactly 24 + frame count * frame size bytes long. A refusal has
// shown its message when this returns false.

#include <filesystem>

class CFile;

// Opens `path` into `file` and tests it there; the load then reads the same open file.
bool CheckStreamFile(const std::filesystem::path& path, CFile& file);
