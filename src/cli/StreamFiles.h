#pragma once
// Opening and saving stream files exactly as the player does, for every kvt command.

#include <filesystem>
#include <memory>

#include "stream/ImageStream.h"

// The open-time test, then the load; null after the program's message when either refuses.
std::unique_ptr<CImageStream> OpenStream(const std::filesystem::path& path);

// Writes the stream; an existing file is replaced only by a complete stream ("File save error").
bool SaveStream(const CImageStream& stream, const std::filesystem::path& path);
