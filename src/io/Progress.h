// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Progress of long work on streams, reported frame by frame to whoever shows it: the windows put up
// a progress dialog while a command runs; otherwise nobody listens.

#include <cstdint>
#include <functional>

using ProgressHook = std::function<void(std::uint64_t done, std::uint64_t total)>;

void ReportProgress(std::uint64_t done, std::uint64_t total);

// Installs a new hook and returns the previous one; an empty hook reports nothing.
ProgressHook SetProgressHook(ProgressHook hook);
