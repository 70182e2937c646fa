// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading and saving streams as the player does, for kvt's commands and the shares written from a
// secret: whole streams built in memory, or results written frame by frame as their sources are
// read. Every failure shows its message.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "stream/ImageStream.h"
#include "stream/StreamMessages.h"

class CFileSet;
class CStreamFileReader;
class CStreamFileWriter;

// What a command does with a stream it opens: reads its header only, or its frames too.
enum class InputUse { header, frames };

// Opens a stream as the player does, and says on stderr what the header gets wrong. A stream whose
// frames are to be read is refused when they have no pixels, when its frame size field is larger
// than width x height (where each frame starts is unknown), or when whole frames are missing from
// the file: the work a header asks for is bounded by the bytes the file holds. The bytes missing
// from a last frame read as black, as in the player.
bool OpenInput(CStreamFileReader& reader, const std::filesystem::path& path, std::uint64_t framesInMemory = 1,
               InputUse use = InputUse::frames);
// The header tests of OpenInput, for a reader already open; false after the refusal.
bool CheckInputFrames(const CStreamFileReader& reader, const std::filesystem::path& path, InputUse use);

// The player's "File save error", with the file and the reason: "File save error: out.kvt: why".
void ShowSaveError(const std::filesystem::path& path, const std::string& why);

// Writes the stream; an existing file is replaced only by a complete stream.
bool SaveStream(const CImageStream& stream, const std::filesystem::path& path);

// Starts the file of a result of `shape`'s width, height and frame size with `frameCount` frames.
// False after the save error when the save would refuse it or the file can't be made.
bool OpenOutput(CStreamFileWriter& writer, const std::filesystem::path& path, const KvtHeader& shape,
                std::uint16_t frameCount);
// Writes a frame of the result; false after the save error.
bool WriteOutputFrame(CStreamFileWriter& writer, const BYTE* frame);
// Writes the next `count` rows of the result's frames; false after the save error.
bool WriteOutputRows(CStreamFileWriter& writer, const BYTE* rows, std::size_t count);
// Puts the written file in place; false after the save error.
bool CommitOutput(CStreamFileWriter& writer);

// Results of one shape written as a set of files into one folder (CFileSet): every one put in
// place, or none; a second run into the folder waits for this one.
class COutputSet {
public:
    COutputSet();
    ~COutputSet();
    COutputSet(const COutputSet&) = delete;
    COutputSet& operator=(const COutputSet&) = delete;

    // Starts a file of `frameCount` frames of `shape`'s size at each of `paths`, all in one folder;
    // false after the save error.
    bool Open(const std::vector<std::filesystem::path>& paths, const KvtHeader& shape, std::uint16_t frameCount);
    // The i-th result's writer, for WriteOutputFrame and WriteOutputRows.
    CStreamFileWriter& GetWriter(std::size_t i);
    // Puts every file in place, or none; false after the save error.
    bool Commit();

private:
    std::unique_ptr<CFileSet> m_set;
    std::vector<std::unique_ptr<CStreamFileWriter>> m_writers;
};

// Frames a command holds at once: `count` buffers of `bytes` each.
struct FrameClaim {
    std::uint64_t count;
    std::uint64_t bytes;
};
// True when all the claims together fit in the memory the process can get; false after `refusal`
// with what they need. Asked before the first of them is claimed: untouched pages of a claim don't
// show as used, so a test after each would pass them all.
bool MemoryFor(std::initializer_list<FrameClaim> claims, std::string_view refusal);

// A zeroed frame buffer, or null after `refusal` when memory is short.
FrameBuffer AllocateFrame(std::size_t bytes, std::string_view refusal);

// Every stream of `paths`, open to be read a frame at a time; empty after the message that refused
// one of them.
std::vector<std::unique_ptr<CStreamFileReader>> OpenStreams(const std::vector<std::string>& paths);
