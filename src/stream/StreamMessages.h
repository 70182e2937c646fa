// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The messages of the stream model that more than one place shows: the player's load and save,
// and kvt's commands that read and write streams as the player does.

inline constexpr const char* kFileTypesError = "File Types Error";
inline constexpr const char* kNotEnoughMemory = "Image size error: Not enough memory for the images";
inline constexpr const char* kFileSaveError = "File save error";
inline constexpr const char* kShowImageError = "Show image error";
// Why a frame of a file read while it is open comes up short.
inline constexpr const char* kFileShrank = "the file is shorter than when it was opened";
