// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PdfFileSink.h"

CPdfFileSink::CPdfFileSink(std::filesystem::path target, std::filesystem::path shownAs)
    : m_target(shownAs.empty() ? target : std::move(shownAs)), m_file(std::move(target))
{
}

bool CPdfFileSink::Open(const CPrintLayout& layout, double pixelMm, bool marks, PrintCaption caption)
{
    if (!m_file.Open())
        return Fail(m_target, m_file.GetError());
    m_device = std::make_unique<CDescriptorDevice>(m_file.GetDescriptor());
    if (m_device->HasFailed())
        return WriteFailed();
    m_printer = std::make_unique<CPdfPrinter>(*m_device, layout, pixelMm, marks, std::move(caption));
    return true;
}

bool CPdfFileSink::WriteFailed()
{
    return Fail(m_target, m_device->HasFailed() ? m_device->GetError() : "the PDF writer failed");
}

bool CPdfFileSink::Write(const QImage& grey, int index)
{
    if (!m_printer->PrintFrame(grey, index) || m_device->HasFailed())
        return WriteFailed();
    return true;
}

bool CPdfFileSink::Finish()
{
    // The writer's device is asked both before and after the document ends: the trailer is
    // written only by the end.
    if (m_device->HasFailed())
        return WriteFailed();
    const bool printed = m_printer->Finish();
    m_device->close();
    if (!printed || m_device->HasFailed())
        return WriteFailed();
    return m_file.Commit() ? true : Fail(m_target, m_file.GetError());
}

std::uint64_t CPdfFileSink::GetBytesWritten() const
{
    return m_device ? m_device->GetBytesWritten() : 0;
}
