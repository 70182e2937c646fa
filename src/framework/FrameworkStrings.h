// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The framework's own texts, as a Traditional Chinese desktop shows them.

namespace framework_strings {
inline constexpr const char* kOpenFileCaption = "開啟舊檔";
inline constexpr const char* kSaveFileCaption = "另存新檔";
inline constexpr const char* kAllFilesFilter = "所有文件 (*.*)";
// A dialog's number field.
inline constexpr const char* kNotAnInteger = "請輸入一整數.";
inline constexpr const char* kNotAPositiveInteger = "請輸入一正整數.";
inline constexpr const char* kNumberOutOfRange = "請輸入一個在 %1 到 %2 之間的整數.";
}  // namespace framework_strings
