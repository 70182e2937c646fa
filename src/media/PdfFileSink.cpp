#include "media/PdfFileSink.h"

CPdfFileSink::CPdfFileSink(std::filesystem::path target) : m_target(target), m_file(std::move(target)) {}

bool CPdfFileSink::Open(const CPrintLayout& layout, double pixelMm, bool marks, PrintCaption caption)
{
    if (!m_file.Open())
        return Fail(m_target, m_file.GetError());
    if (!m_device.open(m_file.GetDescriptor(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        return DeviceFailed();
    m_printer = std::make_unique<CPdfPrinter>(m_device, layout, pixelMm, marks, std::move(caption));
    return true;
}

bool CPdfFileSink::DeviceFailed()
{
    return Fail(m_target, m_device.errorString().toStdString());
}

bool CPdfFileSink::Write(const QImage& grey, int index)
{
    if (!m_printer->PrintFrame(grey, index) || m_device.error() != QFileDevice::NoError)
        return DeviceFailed();
    return true;
}

bool CPdfFileSink::Finish()
{
    const bool printed = m_printer->Finish();
    m_device.close();
    if (!printed || m_device.error() != QFileDevice::NoError)
        return DeviceFailed();
    return m_file.Commit() ? true : Fail(m_target, m_file.GetError());
}

std::uint64_t CPdfFileSink::GetBytesWritten() const
{
    return static_cast<std::uint64_t>(m_device.pos());
}
