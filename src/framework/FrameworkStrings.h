#pragma once
// The framework's own texts, as a Traditional Chinese desktop shows them.

namespace framework_strings {
inline constexpr const char* kFailedToOpenDoc = "無法開啟文件。";
inline constexpr const char* kFailedInvalidFormat = "未預期的檔案格式。";
inline constexpr const char* kFailedToSaveDoc = "無法儲存文件。";
inline constexpr const char* kOpenFileCaption = "開啟舊檔";
inline constexpr const char* kSaveFileCaption = "另存新檔";
inline constexpr const char* kAllFilesFilter = "所有文件 (*.*)";
}  // namespace framework_strings
