#pragma once
// Saving streams as the player saves them, for every kvt command: whole streams built in memory,
// or results written frame by frame as their sources are read.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "stream/ImageStream.h"
#include "stream/StreamMessages.h"

class CStreamFileWriter;

// Writes the stream; an existing file is replaced only by a complete stream ("File save error").
bool SaveStream(const CImageStream& stream, const std::filesystem::path& path);

// Starts the file of a result of `shape`'s width, height and frame size with `frameCount` frames.
// False after "File save error" when the save would refuse it or the file can't be made.
bool OpenOutput(CStreamFileWriter& writer, const std::filesystem::path& path, const CImageStream& shape,
                std::uint16_t frameCount);
// Writes a frame of the result; false after "File save error".
bool WriteOutputFrame(CStreamFileWriter& writer, const BYTE* frame);
// Puts the written file in place; false after "File save error".
bool CommitOutput(CStreamFileWriter& writer);

// A zeroed frame buffer, or null after `refusal` when memory is short.
FrameBuffer AllocateFrame(std::size_t bytes, std::string_view refusal);
