// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Work files too large for memory, such as the shadows the player makes: unnamed files in the
// user's cache folder, gone with their last descriptor however the process ends.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

class CSharedFile;

// $XDG_CACHE_HOME/kvtplayer, else ~/.cache/kvtplayer.
std::filesystem::path CacheFolder();

// An unnamed file in the cache folder (made, readable by its user only, when missing), with
// `bytes` of room held on its disk. It has no name from the start (O_TMPFILE; where the file
// system lacks it, a random name removed at once). Null, with `error` saying what failed and
// where, when it can't be made or the room isn't there.
std::shared_ptr<CSharedFile> CreateUnnamedCacheFile(std::uint64_t bytes, std::string& error);
