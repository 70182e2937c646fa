// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Everything the studio's window shows, without the window: the source and the frame on show, the
// import's settings, the scheme asked for, where shares go, and the shares being looked at. Views
// read it and change it through these members; nothing here knows of widgets.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "media/FrameImport.h"
#include "shares/ShareWriting.h"
#include "studio/ShareJob.h"
#include "studio/SecretPreview.h"
#include "studio/StackFigures.h"
#include "studio/ShareSet.h"
#include "studio/StudioSource.h"
#include "vss/SchemeRequest.h"

// Shares by a threshold scheme, two shares that each show a cover, or a second share against a key.
enum class ShareKind { scheme, covers, key };

struct SchemeSettings {
    SchemeRequest request;
    std::optional<std::uint32_t> seed;  // system random when empty
    ShareKind kind = ShareKind::scheme;
    CoverPair covers;
    KeyStream key;
    bool operator==(const SchemeSettings& other) const
    {
        return request.family == other.request.family && request.k == other.request.k &&
               request.n == other.request.n && request.variant == other.request.variant && seed == other.seed &&
               kind == other.kind && covers.first == other.covers.first && covers.second == other.covers.second &&
               key.path == other.key.path;
    }
};

class CStudioSession {
public:
    // Opens a picture, video or stream as the source, at frame 0; the shares on show are closed.
    // False with `error` ("PATH: REASON"), the open source kept.
    bool OpenSource(const std::filesystem::path& path, std::string& error);
    const CStudioSource& GetSource() const { return m_source; }
    bool HasSource() const { return m_source.GetKind() != SourceKind::none; }

    const ImportSettings& GetImportSettings() const { return m_import; }
    // A new video range opens the video again. False with `error` when it can't be read that way,
    // the settings kept as they were.
    bool SetImportSettings(const ImportSettings& settings, std::string& error);

    // Frames on the frame slider: the source's, or the shares' when shares are on show.
    std::uint64_t GetFrameCount() const;
    std::uint64_t GetFrameIndex() const { return m_frame; }
    // Moves the source and the shares on show to frame `index`.
    bool SetFrameIndex(std::uint64_t index, std::string& error);
    // The current frame before and after the import's conversions.
    bool Preview(FramePreview& preview, std::string& error) const;
    // The figures of the checked shares stacked in place over the current frame's secret; nothing
    // when no share is checked or the shares are of a secret of another size.
    std::optional<StackFigures> MeasureChecked() const;

    const SchemeSettings& GetSchemeSettings() const { return m_scheme; }
    void SetSchemeSettings(const SchemeSettings& scheme) { m_scheme = scheme; }
    // The catalogue's scheme for the settings, or nothing with kvt shadows' refusal.
    std::optional<Scheme> ChooseScheme(std::string& refusal) const;
    // What the shares are to be made by: the scheme, or the covers or the key once the shares
    // library has taken them for the secret's frame on show; nothing with kvt's refusal.
    std::optional<ShareMaking> ChooseMaking(std::string& refusal) const;

    // Where shares are written: the folder chosen, by default the source's.
    std::filesystem::path GetOutputFolder() const;
    void SetOutputFolder(const std::filesystem::path& folder) { m_outputFolder = folder; }
    // BASE-Shadow1.kvt ... BASE-ShadowN.kvt in the output folder, BASE the source's name without
    // its extension.
    std::vector<std::filesystem::path> SharePaths(int n) const;

    // Opens shares to look at (those just made, or others).
    bool OpenShares(const std::vector<std::filesystem::path>& paths, std::string& error);
    void CloseShares() { m_shares.Close(); }
    CShareSet& GetShares() { return m_shares; }
    const CShareSet& GetShares() const { return m_shares; }
    bool HasShares() const { return m_shares.GetCount() > 0; }

private:
    CStudioSource m_source;
    ImportSettings m_import;
    SchemeSettings m_scheme;
    std::optional<std::filesystem::path> m_outputFolder;
    CShareSet m_shares;
    std::uint64_t m_frame = 0;
};
