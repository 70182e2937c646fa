// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every program of KVTPlayer answers to --version: its name and the version, then the
// copyright and the licence in the lines help2man and distributions expect.

#include <string>
#include <string_view>

// "kvt (KVTPlayer) 1.1" and the copyright and licence lines, each ended by a newline.
std::string VersionText(std::string_view program);
