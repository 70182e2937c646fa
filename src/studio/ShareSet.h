// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shares on show: their files, the current frame of each (only that frame is held), which are
// checked, and where each lies over the first. The reveal is the checked ones put together.

#include <QImage>
#include <QPoint>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "studio/RevealStack.h"

class CStreamFileReader;

class CShareSet {
public:
    CShareSet();
    ~CShareSet();
    CShareSet(CShareSet&&) noexcept;
    CShareSet& operator=(CShareSet&&) noexcept;

    // Opens shares of one size and reads their first frames; false with `error` naming the file
    // that can't be read or doesn't match the first. Every share starts checked and in place.
    bool Open(const std::vector<std::filesystem::path>& paths, std::string& error);
    void Close();

    int GetCount() const { return static_cast<int>(m_shares.size()); }
    const std::filesystem::path& GetPath(int i) const;
    // Frames every share holds (the shortest's count).
    std::uint32_t GetFrameCount() const { return m_frameCount; }

    // Reads frame `index` of every share; false with `error` on a read failure.
    bool LoadFrame(std::uint32_t index, std::string& error);
    std::uint32_t GetIndex() const { return m_index; }
    const QImage& GetFrame(int i) const;

    void SetChecked(int i, bool checked);
    bool IsChecked(int i) const;
    std::vector<int> GetChecked() const;
    // Where share i's top left cell lies on the first checked share, in cells (subpixels).
    void SetOffset(int i, QPoint offset);
    QPoint GetOffset(int i) const;
    void SetMode(StackMode mode) { m_mode = mode; }
    StackMode GetMode() const { return m_mode; }

    // The checked shares of the current frame put together; null when none is checked.
    QImage Reveal() const;
    // The same for any set of shares, in place.
    QImage RevealOf(const std::vector<int>& shares) const;

private:
    struct Share;
    std::vector<std::unique_ptr<Share>> m_shares;
    std::uint32_t m_frameCount = 0;
    std::uint32_t m_index = 0;
    StackMode m_mode = StackMode::stack;
};
