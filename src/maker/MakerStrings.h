// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts of the maker wizard and of `kvt make`, kept together. Plain UTF-8 so that the
// command-line tool can use them without Qt.

namespace maker_strings {
// Page and dialog captions.
inline constexpr const char* kInputCaption = "KvtMaker File Input";
inline constexpr const char* kOpenCaption = "KvtMaker File Open";
inline constexpr const char* kImageSizeCaption = "Enter image size";

// Controls.
inline constexpr const char* kInputFileNameLabel = "Input File Name:";
inline constexpr const char* kBrowseButton = "瀏覽...";
inline constexpr const char* kOutputNameLabel = "         File Name:";
inline constexpr const char* kInsertFileButton = "Insert a file...";
inline constexpr const char* kRawNameLabel = "File Name:";
inline constexpr const char* kWidthLabel = "Width:";
inline constexpr const char* kHeightLabel = "Height:";
inline constexpr const char* kOkButton = "OK";
inline constexpr const char* kCancelButton = "Cancel";

// The wizard's own buttons, as a Traditional Chinese desktop labels them.
inline constexpr const char* kBackButton = "< 上一步(&B)";
inline constexpr const char* kNextButton = "下一步(&N) >";
inline constexpr const char* kFinishButton = "完成";
inline constexpr const char* kWizardCancelButton = "取消";

// File dialogs.
inline constexpr const char* kKvtFilter = "Kvt Files (*.kvt)";
inline constexpr const char* kKvtSuffix = "kvt";
inline constexpr const char* kRawFilter = "Raw Files (*.raw)";
inline constexpr const char* kRawSuffix = "raw";

// Messages.
inline constexpr const char* kPleaseInputFileName = "Please input file name";
inline constexpr const char* kImageSizeNotCorrect = "Image Size not correct";
inline constexpr const char* kFileCreateError = "File Create Error";
inline constexpr const char* kOpenFileError = "Open File Error";
inline constexpr const char* kTooManyImages = "Too many images: a .kvt file holds at most 65535 frames";
}  // namespace maker_strings
