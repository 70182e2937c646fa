// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PictureSetSink.h"

#include "io/AtomicFile.h"
#include "media/DescriptorDevice.h"
#include "media/FramePicture.h"

namespace fs = std::filesystem;

CPictureSetSink::CPictureSetSink(fs::path folder, CNumberedName names, const char* format)
    : m_ownSet(std::make_unique<CFileSet>(std::move(folder))), m_set(*m_ownSet), m_names(std::move(names)),
      m_format(format)
{
}

CPictureSetSink::CPictureSetSink(CFileSet& set, CNumberedName names, const char* format)
    : m_set(set), m_names(std::move(names)), m_format(format)
{
}

bool CPictureSetSink::Open(int first, int last)
{
    if (m_ownSet && !m_set.Open())
        return Fail(m_set.GetErrorPath(), m_set.GetError());
    m_first = first;
    for (int index = first; index <= last; ++index) {
        m_staged.push_back(m_set.Add(m_names.Fill(index)));
        if (m_staged.back().empty())
            return Fail(m_set.GetErrorPath(), m_set.GetError());
    }
    return true;
}

bool CPictureSetSink::Write(const QImage& grey, int index)
{
    const fs::path& staged = m_staged.at(static_cast<std::size_t>(index - m_first));
    const fs::path target = m_set.GetFolder() / m_names.Fill(index);
    CAtomicFile file(staged);
    if (!file.Open())
        return Fail(target, file.GetError());
    CDescriptorDevice device(file.GetDescriptor());
    std::string error;
    if (!WriteGreyPicture(device, grey, m_format, error))
        return Fail(target, device.HasFailed() ? device.GetError() : error);
    device.close();
    if (device.HasFailed())
        return Fail(target, device.GetError());
    if (!file.Commit())
        return Fail(target, file.GetError());
    m_bytesWritten += device.GetBytesWritten();
    return true;
}

bool CPictureSetSink::Finish()
{
    return !m_ownSet || m_set.Commit() || Fail(m_set.GetErrorPath(), m_set.GetError());
}
