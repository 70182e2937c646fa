// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts of the shadow dialog and commands.

namespace vss_strings {
inline constexpr const char* kSelectShadowsCaption = "Select Shadows";
inline constexpr const char* kInterlaceMode1Radio = "交錯擺   (模式1)";
inline constexpr const char* kInterlaceMode2Radio = "交錯擺   (模式2)";
inline constexpr const char* kStackDirectlyRadio = "直接疊";
// The progress dialogs of the two commands.
inline constexpr const char* kCreatingShadows = "正在產生 VSS(2, 2) Shadows...";
inline constexpr const char* kStackingShadows = "正在重疊 Shadows...";
}  // namespace vss_strings
