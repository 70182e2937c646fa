// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Command identifiers. Menus, toolbars, keys and the context menu all issue these, and the command
// router hands them to whichever target handles them.

namespace cmd {
// The framework's standard commands.
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_CLOSE = 57602;
inline constexpr int ID_FILE_SAVE = 57603;
inline constexpr int ID_FILE_SAVE_AS = 57604;
inline constexpr int ID_FILE_PRINT = 57607;
inline constexpr int ID_FILE_PRINT_DIRECT = 57608;
inline constexpr int ID_FILE_PRINT_PREVIEW = 57609;
inline constexpr int ID_FILE_MRU_FILE1 = 57616;  // the recent-file list, entries 57616..57619
inline constexpr int ID_WINDOW_NEW = 57648;
inline constexpr int ID_WINDOW_ARRANGE = 57649;
inline constexpr int ID_WINDOW_CASCADE = 57650;
inline constexpr int ID_WINDOW_TILE_HORZ = 57651;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_NEXT_PANE = 57680;
inline constexpr int ID_PREV_PANE = 57681;
inline constexpr int ID_VIEW_TOOLBAR = 59392;
inline constexpr int ID_VIEW_STATUS_BAR = 59393;

// The program's own commands.
inline constexpr int ID_CREATE_SHADOWS = 32755;
inline constexpr int ID_PLAY = 32771;
inline constexpr int ID_STACK_SHADOWS = 32772;
inline constexpr int ID_LEAVE_FULL_SCREEN = 32773;
inline constexpr int ID_MAKER_WIZARD = 32774;
inline constexpr int ID_STOP = 32775;
inline constexpr int ID_PAUSE = 32776;
inline constexpr int ID_DELAY_SETTING = 32781;
inline constexpr int ID_NEXT = 32783;
inline constexpr int ID_PREVIOUS = 32784;
inline constexpr int ID_FULL_SCREEN = 32794;
inline constexpr int ID_IMAGE_UP = 32796;
inline constexpr int ID_IMAGE_DOWN = 32797;
inline constexpr int ID_IMAGE_LEFT = 32798;
inline constexpr int ID_IMAGE_RIGHT = 32799;
inline constexpr int ID_DELAY_UP_KEYPAD = 32801;
inline constexpr int ID_DELAY_UP = 32802;
inline constexpr int ID_DELAY_DOWN_KEYPAD = 32803;
inline constexpr int ID_DELAY_DOWN = 32804;
inline constexpr int ID_FILE_NEW = 32805;
}  // namespace cmd
