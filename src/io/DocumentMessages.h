// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The document open and save failures as the framework shows them; kvt's stream reader shows the
// same texts, so they sit beneath both.

inline constexpr const char* kFailedToOpenDoc = "無法開啟文件。";
inline constexpr const char* kFailedInvalidFormat = "未預期的檔案格式。";
inline constexpr const char* kFailedToSaveDoc = "無法儲存文件。";
