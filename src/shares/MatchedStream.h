// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A stream read beside a secret, frame for frame: the covers of extended shares and the key of a
// keyed share. Its frames must have a given size and pass a check; one with fewer frames than the
// secret starts again from its first (a one-frame stream serves every frame), one with more gives
// only the first. Every message names the file.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "stream/ImageStream.h"

class CStreamFileReader;

class CMatchedStream {
public:
    // What is wrong with a frame, or nothing. Frames are checked the first time they are read.
    using FrameCheck = std::function<std::optional<std::string>(const BYTE* frame, const KvtHeader& header)>;

    CMatchedStream(std::string command, std::string role, FrameCheck check);
    ~CMatchedStream();
    CMatchedStream(const CMatchedStream&) = delete;
    CMatchedStream& operator=(const CMatchedStream&) = delete;

    // Opens `path`, refusing frames other than width x height. `sizeHint` says how to make a
    // stream of the right size, after the refusal. False after the message.
    bool Open(const std::filesystem::path& path, int width, int height, std::string_view sizeHint);

    // The frame that goes with the secret's next frame; null after the message.
    const BYTE* Next();

    std::uint16_t GetFrameCount() const;

    // Shows `why` with the command and the file in front: "kvt shadows: cover.kvt: why".
    void Refuse(const std::string& why) const;

private:
    bool Reopen();

    std::string m_strCommand;  // "kvt shadows"
    std::string m_strRole;     // "cover", "key": what the messages call the stream
    FrameCheck m_check;
    std::filesystem::path m_path;
    std::unique_ptr<CStreamFileReader> m_reader;
    FrameBuffer m_frame;
    std::uint32_t m_nNext = 0;    // index of the next frame in the file
    bool m_bLooped = false;       // every frame read (and checked) once
};
