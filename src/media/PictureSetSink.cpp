#include "media/PictureSetSink.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "media/FramePicture.h"
#include "stream/AtomicFile.h"

namespace fs = std::filesystem;

namespace {
bool SyncFolder(const fs::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}
}  // namespace

CPictureSetSink::CPictureSetSink(fs::path folder, CNumberedName names, const char* format)
    : m_folder(folder.empty() ? fs::path(".") : std::move(folder)), m_names(std::move(names)), m_format(format)
{
}

CPictureSetSink::~CPictureSetSink()
{
    RemoveStaging();
}

void CPictureSetSink::RemoveStaging()
{
    if (m_staging.empty())
        return;
    std::error_code ignored;
    fs::remove_all(m_staging, ignored);
    m_staging.clear();
}

bool CPictureSetSink::Open(int first, int last)
{
    for (int index = first; index <= last; ++index) {
        const fs::path target = m_folder / m_names.Fill(index);
        std::error_code ec;
        const fs::file_status status = fs::status(target, ec);
        if (!fs::exists(status))
            continue;
        if (!fs::is_regular_file(status))
            return Fail(target, "not a file");
        if (::access(target.c_str(), W_OK) != 0)
            return Fail(target, std::strerror(errno));
    }
    std::string pattern = (m_folder / ".kvt-export-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        return Fail(m_folder, std::strerror(errno));
    m_staging = pattern;
    return true;
}

bool CPictureSetSink::Write(const QImage& grey, int index)
{
    const std::string name = m_names.Fill(index);
    const fs::path target = m_folder / name;
    CAtomicFile file(m_staging / name);
    if (!file.Open())
        return Fail(target, file.GetError());
    QFile device;
    if (!device.open(file.GetDescriptor(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        return Fail(target, device.errorString().toStdString());
    std::string error;
    if (!WriteGreyPicture(device, grey, m_format, error))
        return Fail(target, error);
    const qint64 size = device.size();
    device.close();
    if (device.error() != QFileDevice::NoError)
        return Fail(target, device.errorString().toStdString());
    if (!file.Commit())
        return Fail(target, file.GetError());
    m_written.push_back(name);
    m_bytesWritten += static_cast<std::uint64_t>(size);
    return true;
}

bool CPictureSetSink::Finish()
{
    for (const std::string& name : m_written) {
        std::error_code ec;
        fs::rename(m_staging / name, m_folder / name, ec);
        if (ec)
            return Fail(m_folder / name, ec.message());
    }
    RemoveStaging();
    return SyncFolder(m_folder) ? true : Fail(m_folder, std::strerror(errno));
}
