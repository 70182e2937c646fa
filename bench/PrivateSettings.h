// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Benchmarks that start the application open files, which the recent-file list remembers; they
// keep their settings in a folder of their own so the user's list is never touched.

#include <cstdlib>
#include <filesystem>
#include <string>

inline void UsePrivateSettings()
{
    std::string folder = (std::filesystem::temp_directory_path() / "kvt-bench-XXXXXX").string();
    if (::mkdtemp(folder.data()) != nullptr)
        ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
}
