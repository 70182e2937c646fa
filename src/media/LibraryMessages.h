// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the picture and video libraries say on their own (Qt's warnings, libpng's through Qt,
// FFmpeg's log lines such as "[gif @ 0x55d0...] dimensions not set"), caught while an instance
// lives and said through the message routine once each, in the command's words:
//     kvt import: warning from libpng: iCCP: known incorrect sRGB profile
// FFmpeg's lines below errors (statistics, notes) are dropped. Lines that repeat what the
// command says itself are left out by the caller with Ignore.

#include <string>

class CLibraryMessages {
public:
    // `command` begins every line ("kvt import"). One instance at a time.
    explicit CLibraryMessages(std::string command);
    // Puts Qt's and FFmpeg's own handlers back.
    ~CLibraryMessages();
    CLibraryMessages(const CLibraryMessages&) = delete;
    CLibraryMessages& operator=(const CLibraryMessages&) = delete;

    // Lines that contain `text` are not said.
    void Ignore(std::string text);
};
