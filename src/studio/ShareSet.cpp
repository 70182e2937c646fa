// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/ShareSet.h"

#include <algorithm>

#include "stream/StreamFileReader.h"
#include "studio/CaughtMessage.h"

struct CShareSet::Share {
    std::filesystem::path path;
    CStreamFileReader reader;
    QImage frame;
    bool checked = true;
    QPoint offset;
};

CShareSet::CShareSet() = default;
CShareSet::~CShareSet() = default;
CShareSet::CShareSet(CShareSet&&) noexcept = default;
CShareSet& CShareSet::operator=(CShareSet&&) noexcept = default;

bool CShareSet::Open(const std::vector<std::filesystem::path>& paths, std::string& error)
{
    CShareSet opened;
    for (const auto& path : paths) {
        auto share = std::make_unique<Share>();
        share->path = path;
        CCaughtMessage message;
        if (!share->reader.Open(path)) {
            error = message.About(path.string(), "can't be read");
            return false;
        }
        const KvtHeader& header = share->reader.GetHeader();
        if (!opened.m_shares.empty()) {
            const KvtHeader& first = opened.m_shares.front()->reader.GetHeader();
            if (header.width != first.width || header.height != first.height) {
                error = path.string() + ": " + std::to_string(header.width) + "x" + std::to_string(header.height) +
                        ", not the " + std::to_string(first.width) + "x" + std::to_string(first.height) + " of " +
                        opened.m_shares.front()->path.string() + ": a share of another secret";
                return false;
            }
        }
        opened.m_frameCount = opened.m_shares.empty() ? header.frameCount
                                                      : std::min<std::uint32_t>(opened.m_frameCount, header.frameCount);
        opened.m_shares.push_back(std::move(share));
    }
    if (opened.m_frameCount == 0) {
        error = paths.empty() ? std::string("no shares") : paths.front().string() + ": no frames";
        return false;
    }
    opened.m_index = 1;  // so that frame 0 is read
    if (!opened.LoadFrame(0, error))
        return false;
    *this = std::move(opened);
    return true;
}

void CShareSet::Close()
{
    *this = CShareSet();
}

const std::filesystem::path& CShareSet::GetPath(int i) const
{
    return m_shares[static_cast<std::size_t>(i)]->path;
}

bool CShareSet::LoadFrame(std::uint32_t index, std::string& error)
{
    if (index >= m_frameCount) {
        error = "no frame " + std::to_string(index + 1) + ": the shares hold " + std::to_string(m_frameCount);
        return false;
    }
    if (index == m_index)
        return true;
    for (auto& share : m_shares) {
        const KvtHeader& header = share->reader.GetHeader();
        QImage frame(header.width, header.height, QImage::Format_Grayscale8);
        CCaughtMessage message;
        // The next frame is read without a seek while playing.
        if ((index != m_index + 1 && !share->reader.SeekFrame(index)) || !share->reader.ReadFrame(frame.bits())) {
            error = message.About(share->path.string(), "no frame " + std::to_string(index + 1));
            return false;
        }
        share->frame = std::move(frame);
    }
    m_index = index;
    return true;
}

const QImage& CShareSet::GetFrame(int i) const
{
    return m_shares[static_cast<std::size_t>(i)]->frame;
}

void CShareSet::SetChecked(int i, bool checked)
{
    m_shares[static_cast<std::size_t>(i)]->checked = checked;
}

bool CShareSet::IsChecked(int i) const
{
    return m_shares[static_cast<std::size_t>(i)]->checked;
}

std::vector<int> CShareSet::GetChecked() const
{
    std::vector<int> checked;
    for (int i = 0; i < GetCount(); ++i)
        if (IsChecked(i))
            checked.push_back(i);
    return checked;
}

void CShareSet::SetOffset(int i, QPoint offset)
{
    m_shares[static_cast<std::size_t>(i)]->offset = offset;
}

QPoint CShareSet::GetOffset(int i) const
{
    return m_shares[static_cast<std::size_t>(i)]->offset;
}

QImage CShareSet::Reveal() const
{
    return RevealOf(GetChecked());
}

QImage CShareSet::RevealOf(const std::vector<int>& shares) const
{
    std::vector<StackLayer> layers;
    for (int i : shares)
        layers.push_back({&GetFrame(i), GetOffset(i)});
    return StackLayers(layers, m_mode);
}
