#pragma once
// kvt shadows with covers (extended shares that each show a picture) or with a key (a second
// share made against an existing first share).

#include <filesystem>

#include "cli/CommandLine.h"

// BASE-Shadow1.kvt and BASE-Shadow2.kvt in `dir`, showing cover1 and cover2.
int RunCoverShadows(const std::filesystem::path& secret, const std::filesystem::path& cover1,
                    const std::filesystem::path& cover2, const std::filesystem::path& dir,
                    const CommonOptions& common);

// BASE-Shadow2.kvt in `dir`, which stacked on `key` shows the secret.
int RunKeyedShadow(const std::filesystem::path& secret, const std::filesystem::path& key,
                   const std::filesystem::path& dir, const CommonOptions& common);
