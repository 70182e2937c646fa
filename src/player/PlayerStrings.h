// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The player's texts: its messages in English, its controls and menus as the Traditional Chinese
// desktop shows them.

namespace player_strings {
inline constexpr const char* kNoTimer = "No Timer";
inline constexpr const char* kTimerError = "Timer Error";

// The top line of the view.
inline constexpr const char* kDelayTimeLabel = "Delay Time: ";
inline constexpr const char* kPerThousandSeconds = "/1000 sec";
inline constexpr const char* kViewFont = "新細明體";

// The SetTimer dialog.
inline constexpr const char* kSetTimerCaption = "SetTimer";
inline constexpr const char* kSetTimerDelayLabel = "Delay Time:";

// The context menu: one popup holding the playback commands, without key texts.
inline constexpr const char* kPlaybackPopup = "播放控制(&C)";
inline constexpr const char* kPlayItem = "播放(&P)";
inline constexpr const char* kStopItem = "停止(&S)";
inline constexpr const char* kPauseItem = "暫停(&H)";
inline constexpr const char* kNextItem = "下一張(&B)";
inline constexpr const char* kPreviousItem = "上一張(&B)";
}  // namespace player_strings
