// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where exported frames go: one kind of file each (numbered pictures, a video, a printed PDF), so
// that the commands read a stream the same way whatever they write. Nothing appears at the
// output's name before Finish; a sink dropped without Finish leaves nothing behind.

#include <cstdint>
#include <filesystem>
#include <string>

class QImage;

class CFrameSink {
public:
    CFrameSink() = default;
    virtual ~CFrameSink() = default;
    CFrameSink(const CFrameSink&) = delete;
    CFrameSink& operator=(const CFrameSink&) = delete;

    // `grey` is QImage::Format_Grayscale8; `index` is the frame's place in its stream (0 first).
    virtual bool Write(const QImage& grey, int index) = 0;
    // Puts the output in place, replacing what held its name only now.
    virtual bool Finish() = 0;
    virtual std::uint64_t GetBytesWritten() const = 0;
    const std::string& GetError() const { return m_error; }

protected:
    bool Fail(std::string error)
    {
        m_error = std::move(error);
        return false;
    }
    bool Fail(const std::filesystem::path& file, const std::string& why) { return Fail(file.string() + ": " + why); }

private:
    std::string m_error;
};
