// SPDX-License-Identifier: GPL-3.0-or-later
#include "stream/StreamFiles.h"

#include "io/AtomicFile.h"
#include "io/DiskSpace.h"
#include "io/FileSet.h"
#include "io/MemoryBudget.h"
#include "io/Message.h"
#include "stream/KvtFormat.h"
#include "stream/StreamFileReader.h"
#include "stream/StreamFileWriter.h"

namespace fs = std::filesystem;

namespace {
bool Refuse(CStreamFileWriter& writer)
{
    ShowSaveError(writer.GetTarget(), writer.GetError());
    return false;
}
}  // namespace

bool OpenInput(CStreamFileReader& reader, const fs::path& path, std::uint64_t framesInMemory, InputUse use)
{
    return reader.Open(path, framesInMemory) && CheckInputFrames(reader, path, use);
}

bool CheckInputFrames(const CStreamFileReader& reader, const fs::path& path, InputUse use)
{
    const KvtHeader& header = reader.GetHeader();
    const std::string name = path.string();
    const auto refuse = [&](const std::string& why) {
        ShowMessage("kvt: " + name + ": " + why);
        return false;
    };
    const std::uint64_t pixels = static_cast<std::uint64_t>(header.width) * static_cast<std::uint64_t>(header.height);
    const bool reads = use == InputUse::frames && header.frameCount > 0;
    if (reads && pixels == 0)
        return refuse("its frames are " + std::to_string(header.width) + " x " + std::to_string(header.height) +
                      " pixels: there is no picture");
    if (header.frameSize != pixels) {
        const std::string differs = "the header's frame size is " + std::to_string(header.frameSize) +
                                    " bytes, where frames of " + std::to_string(header.width) + " x " +
                                    std::to_string(header.height) + " hold " + std::to_string(pixels);
        if (reads && header.frameSize > pixels)
            return refuse(differs + ": where each frame starts is unknown");
        ShowMessage("kvt: warning: " + name + ": " + differs);
    }
    const std::uint64_t missing = reader.GetMissingBytes();
    if (missing == 0)
        return true;
    const std::uint64_t framesHeld = pixels == 0 ? 0 : (std::uint64_t{header.frameCount} * pixels - missing + pixels - 1) / pixels;
    if (reads && framesHeld < header.frameCount)
        return refuse(std::to_string(header.frameCount - framesHeld) + " of its " + std::to_string(header.frameCount) +
                      " frames are missing from the file, which holds " + std::to_string(framesHeld));
    ShowMessage("kvt: warning: " + name + ": the frames claim " + std::to_string(missing) +
                (missing < 1000 ? " bytes" : " bytes (" + FormatBytes(missing) + ")") +
                " more than the file holds; they read as black");
    return true;
}

void ShowSaveError(const fs::path& path, const std::string& why)
{
    ShowMessage(std::string(kFileSaveError) + ": " + path.string() + ": " + why);
}

bool SaveStream(const CImageStream& stream, const fs::path& path)
{
    if (!stream.HasFrames() || !stream.GetHeader().IsStorable()) {
        ShowSaveError(path, stream.HasFrames() ? "the frame size is not width x height" : "no frames");
        return false;
    }
    std::string error;
    const std::uint64_t bytes = kvt::kHeaderSize + std::uint64_t{stream.GetFrameCount()} * stream.GetFrameSize();
    if (WriteFileAtomically(path, [&](CArchive& ar) { return stream.Store(ar); }, bytes, &error))
        return true;
    ShowSaveError(path, error);
    return false;
}

bool OpenOutput(CStreamFileWriter& writer, const fs::path& path, const KvtHeader& shape,
                std::uint16_t frameCount)
{
    // The player's save writes only what it reads back as it is: frames, of the size the header
    // claims.
    const std::string limit = StreamShapeLimit(shape.width, shape.height, frameCount);
    if (frameCount == 0 || !limit.empty() || !shape.IsStorable()) {
        ShowSaveError(path, frameCount == 0 ? "no frames" : !limit.empty() ? limit : "the frame size is not width x height");
        return false;
    }
    return writer.Open(path, shape.width, shape.height, frameCount) || Refuse(writer);
}

bool WriteOutputFrame(CStreamFileWriter& writer, const BYTE* frame)
{
    return writer.WriteFrame(frame) || Refuse(writer);
}

bool WriteOutputRows(CStreamFileWriter& writer, const BYTE* rows, std::size_t count)
{
    return writer.WriteRows(rows, count) || Refuse(writer);
}

bool CommitOutput(CStreamFileWriter& writer)
{
    return writer.Commit() || Refuse(writer);
}

COutputSet::COutputSet() = default;
COutputSet::~COutputSet() = default;

bool COutputSet::Open(const std::vector<fs::path>& paths, const KvtHeader& shape, std::uint16_t frameCount)
{
    m_set = std::make_unique<CFileSet>(paths.front().parent_path());
    if (!m_set->Open()) {
        // A folder that can't be written is the first file's failure, as it is for one file.
        ShowSaveError(paths.front(), m_set->GetError());
        return false;
    }
    for (const fs::path& path : paths) {
        const fs::path staged = m_set->Add(path.filename().string());
        if (staged.empty()) {
            ShowSaveError(m_set->GetErrorPath(), m_set->GetError());
            return false;
        }
        m_writers.push_back(std::make_unique<CStreamFileWriter>());
        m_writers.back()->WriteAt(staged);
        if (!OpenOutput(*m_writers.back(), path, shape, frameCount))
            return false;
    }
    return true;
}

CStreamFileWriter& COutputSet::GetWriter(std::size_t i)
{
    return *m_writers.at(i);
}

bool COutputSet::Commit()
{
    for (const auto& writer : m_writers)
        if (!CommitOutput(*writer))
            return false;
    if (m_set->Commit())
        return true;
    ShowSaveError(m_set->GetErrorPath(), m_set->GetError());
    return false;
}

bool MemoryFor(std::initializer_list<FrameClaim> claims, std::string_view refusal)
{
    std::uint64_t total = 0;
    bool overflow = false;
    for (const FrameClaim& claim : claims) {
        std::uint64_t bytes = 0;
        overflow = overflow || __builtin_mul_overflow(claim.count, claim.bytes, &bytes) ||
                   __builtin_add_overflow(total, bytes, &total);
    }
    if (!overflow && MemoryAvailableFor(1, total))
        return true;
    ShowMessage(refusal, "needs " + (overflow ? std::string("more than 16 EB") : FormatBytes(total)) + ", " +
                             FormatBytes(AvailableMemory()) + " available");
    return false;
}

FrameBuffer AllocateFrame(std::size_t bytes, std::string_view refusal)
{
    FrameBuffer frame = AllocateFrameBuffer(bytes);
    if (!frame)
        ShowMessage(refusal);
    return frame;
}

std::vector<std::unique_ptr<CStreamFileReader>> OpenStreams(const std::vector<std::string>& paths)
{
    std::vector<std::unique_ptr<CStreamFileReader>> readers;
    for (const std::string& path : paths) {
        readers.push_back(std::make_unique<CStreamFileReader>());
        if (!OpenInput(*readers.back(), path))
            return {};
    }
    return readers;
}
