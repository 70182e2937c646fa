// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RecentFileList.h"

#include <QSettings>
#include <QStringList>
#include <algorithm>

namespace {
constexpr const char* kSection = "Recent File List";

QString Key(int nIndex)
{
    return QStringLiteral("File%1").arg(nIndex + 1);
}
}  // namespace

CRecentFileList::CRecentFileList(int nSize) : m_nSize(nSize) {}

void CRecentFileList::Add(const std::filesystem::path& path)
{
    std::erase(m_paths, path);
    m_paths.insert(m_paths.begin(), path);
    if (GetCount() > m_nSize)
        m_paths.resize(static_cast<std::size_t>(m_nSize));
    WriteList();
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    m_paths.erase(m_paths.begin() + nIndex);
    WriteList();
}

QString CRecentFileList::GetDisplayName(int nIndex) const
{
    const std::filesystem::path& path = (*this)[nIndex];
    std::error_code ec;
    if (path.parent_path() == std::filesystem::current_path(ec))
        return QString::fromStdString(path.filename().string());
    return AbbreviatePath(QString::fromStdString(path.string()), kMaxDisplayLength);
}

void CRecentFileList::ReadList()
{
    QSettings settings;
    settings.beginGroup(QLatin1String(kSection));
    m_paths.clear();
    for (int i = 0; i < m_nSize; ++i) {
        const QString value = settings.value(Key(i)).toString();
        if (!value.isEmpty())
            m_paths.emplace_back(value.toStdString());
    }
}

void CRecentFileList::WriteList() const
{
    QSettings settings;
    settings.beginGroup(QLatin1String(kSection));
    for (int i = 0; i < m_nSize; ++i) {
        if (i < GetCount())
            settings.setValue(Key(i), QString::fromStdString(m_paths[static_cast<std::size_t>(i)].string()));
        else
            settings.remove(Key(i));
    }
}

QString AbbreviatePath(const QString& path, int maxLength)
{
    if (path.size() <= maxLength)
        return path;
    const bool absolute = path.startsWith(QLatin1Char('/'));
    QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QString name = parts.isEmpty() ? path : parts.takeLast();
    if (parts.isEmpty())
        return name;
    const QString head = (absolute ? QStringLiteral("/") : QString()) + parts.takeFirst() + QStringLiteral("/...");
    QString tail = QLatin1Char('/') + name;
    if (head.size() + tail.size() > maxLength)
        return name;
    while (!parts.isEmpty() && head.size() + parts.last().size() + 1 + tail.size() <= maxLength)
        tail.prepend(QLatin1Char('/') + parts.takeLast());
    return head + tail;
}
