// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/StudioSession.h"

#include "studio/ShareTrial.h"
#include "vss/ShadowTitles.h"

bool CStudioSession::OpenSource(const std::filesystem::path& path, std::string& error)
{
    if (!m_source.Open(path, m_import.range)) {
        error = m_source.GetError();
        return false;
    }
    m_shares.Close();
    m_frame = 0;
    return true;
}

bool CStudioSession::SetImportSettings(const ImportSettings& settings, std::string& error)
{
    const bool rangeChanged = settings.range.start != m_import.range.start ||
                              settings.range.duration != m_import.range.duration || settings.range.fps != m_import.range.fps;
    if (rangeChanged && m_source.GetKind() == SourceKind::video) {
        CStudioSource reopened;
        if (!reopened.Open(m_source.GetPath(), settings.range)) {
            error = reopened.GetError();
            return false;
        }
        m_source = std::move(reopened);
        m_frame = 0;
    }
    m_import = settings;
    return true;
}

std::uint64_t CStudioSession::GetFrameCount() const
{
    if (HasShares())
        return m_shares.GetFrameCount();
    return m_source.GetFrameCount();
}

bool CStudioSession::SetFrameIndex(std::uint64_t index, std::string& error)
{
    if (index >= GetFrameCount()) {
        error = "no frame " + std::to_string(index + 1) + ": there are " + std::to_string(GetFrameCount());
        return false;
    }
    // Shares may hold more frames than a video's estimate says: the source stays on its last.
    if (HasSource() && index < m_source.GetFrameCount() && !m_source.Seek(index)) {
        error = m_source.GetError();
        return false;
    }
    if (HasShares() && !m_shares.LoadFrame(static_cast<std::uint32_t>(index), error))
        return false;
    m_frame = index;
    return true;
}

bool CStudioSession::Preview(FramePreview& preview, std::string& error) const
{
    if (!HasSource()) {
        error = "no source is open";
        return false;
    }
    return PreviewFrame(m_source, m_import, preview, error);
}

std::optional<StackFigures> CStudioSession::MeasureChecked() const
{
    FramePreview preview;
    std::string error;
    if (!HasShares() || !Preview(preview, error))
        return std::nullopt;
    std::vector<const QImage*> shares;
    for (int i : m_shares.GetChecked())
        shares.push_back(&m_shares.GetFrame(i));
    return MeasureStack(preview.secret, shares);
}

std::optional<Scheme> CStudioSession::ChooseScheme(std::string& refusal) const
{
    return ::ChooseScheme(m_scheme.request, refusal);
}

std::optional<ShareMaking> CStudioSession::ChooseMaking(std::string& refusal) const
{
    if (m_scheme.kind == ShareKind::scheme) {
        auto scheme = ChooseScheme(refusal);
        return scheme ? std::optional<ShareMaking>(std::move(*scheme)) : std::nullopt;
    }
    const bool covers = m_scheme.kind == ShareKind::covers;
    if (covers ? m_scheme.covers.first.empty() || m_scheme.covers.second.empty() : m_scheme.key.path.empty()) {
        refusal = covers ? "choose a cover for each of the two shares" : "choose the key, a first share made before";
        return std::nullopt;
    }
    FramePreview preview;
    if (!Preview(preview, refusal))
        return std::nullopt;
    const ShareMaking making = covers ? ShareMaking(m_scheme.covers) : ShareMaking(m_scheme.key);
    if (auto trial = TryCoversOrKey(preview.secret, making, covers ? m_scheme.seed : std::nullopt)) {
        refusal = std::move(*trial);
        return std::nullopt;
    }
    return making;
}

std::filesystem::path CStudioSession::GetOutputFolder() const
{
    if (m_outputFolder)
        return *m_outputFolder;
    return m_source.GetPath().parent_path();
}

std::vector<std::filesystem::path> CStudioSession::SharePaths(int n) const
{
    const std::string base = m_source.GetPath().stem().string() + ".kvt";
    std::vector<std::filesystem::path> paths;
    for (int i = 1; i <= n; ++i)
        paths.push_back(GetOutputFolder() / (ShadowTitle(base, i) + ".kvt"));
    return paths;
}

bool CStudioSession::OpenShares(const std::vector<std::filesystem::path>& paths, std::string& error)
{
    CShareSet shares;
    if (!shares.Open(paths, error))
        return false;
    m_shares = std::move(shares);
    if (m_frame >= m_shares.GetFrameCount())
        m_frame = 0;
    return m_shares.LoadFrame(static_cast<std::uint32_t>(m_frame), error);
}
