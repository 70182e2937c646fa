// SPDX-License-Identifier: GPL-3.0-or-later
#include "shares/MatchedStream.h"

#include <iostream>

#include "stream/StreamFiles.h"
#include "io/Message.h"
#include "stream/StreamFileReader.h"

namespace {
// The reader's messages say what is wrong, most of them with the file's name: while it opens or
// reads, they get the command in front, and the name where they lack it.
class CMessagePrefix {
public:
    CMessagePrefix(const std::string& command, const std::string& name)
    {
        m_previous = SetMessageHook([this, command, name](const std::string& text) {
            const std::string shown =
                command + ": " + (text.find(name + ": ") == std::string::npos ? name + ": " : "") + text;
            if (m_previous)
                m_previous(shown);
            else
                std::cerr << shown << '\n';
        });
    }
    ~CMessagePrefix() { SetMessageHook(std::move(m_previous)); }
    CMessagePrefix(const CMessagePrefix&) = delete;
    CMessagePrefix& operator=(const CMessagePrefix&) = delete;

private:
    MessageHook m_previous;
};
}  // namespace

CMatchedStream::CMatchedStream(std::string command, std::string role, FrameCheck check)
    : m_strCommand(std::move(command)), m_strRole(std::move(role)), m_check(std::move(check))
{
}

CMatchedStream::~CMatchedStream() = default;

void CMatchedStream::Refuse(const std::string& why) const
{
    ShowMessage(m_strCommand + ": " + m_path.string() + ": " + why);
}

bool CMatchedStream::Reopen()
{
    const CMessagePrefix prefix(m_strCommand, m_path.string());
    m_reader = std::make_unique<CStreamFileReader>();
    m_nNext = 0;
    return m_reader->Open(m_path);
}

bool CMatchedStream::Open(const std::filesystem::path& path, int width, int height, std::string_view sizeHint)
{
    m_path = path;
    m_bLooped = false;
    if (!Reopen() || !CheckInputFrames(*m_reader, m_path, InputUse::frames))
        return false;
    const KvtHeader& header = m_reader->GetHeader();
    if (header.width != width || header.height != height) {
        Refuse("frames of " + std::to_string(header.width) + "x" + std::to_string(header.height) +
               ", where a " + m_strRole + " of this secret has " + std::to_string(width) + "x" +
               std::to_string(height) + std::string(sizeHint));
        return false;
    }
    if (header.frameCount == 0) {
        Refuse("no frames, where a " + m_strRole + " needs one at least");
        return false;
    }
    m_frame = AllocateFrame(header.FrameBytes(), "kvt: not enough memory");
    return m_frame != nullptr;
}

const BYTE* CMatchedStream::Next()
{
    if (m_nNext == m_reader->GetHeader().frameCount) {
        m_bLooped = true;
        // A one-frame stream stays in memory; a longer one is read again from its start, and must
        // still have the header the frame buffer was made for.
        if (m_nNext == 1)
            return m_frame.get();
        const std::uint32_t frames = m_nNext;
        const int width = m_reader->GetHeader().width;
        const int height = m_reader->GetHeader().height;
        if (!Reopen())
            return nullptr;
        const KvtHeader& again = m_reader->GetHeader();
        if (again.frameCount != frames || again.width != width || again.height != height) {
            Refuse("changed while it was read");
            return nullptr;
        }
    }
    {
        const CMessagePrefix prefix(m_strCommand, m_path.string());
        if (!m_reader->ReadFrame(m_frame.get()))
            return nullptr;
    }
    ++m_nNext;
    if (!m_bLooped) {
        if (const auto fault = m_check(m_frame.get(), m_reader->GetHeader())) {
            Refuse("frame " + std::to_string(m_nNext) + ": " + *fault);
            return nullptr;
        }
    }
    return m_frame.get();
}

std::uint16_t CMatchedStream::GetFrameCount() const
{
    return m_reader->GetHeader().frameCount;
}
