// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How much more memory this process can really get, so that a header asking for gigabytes is
// refused with a message instead of the process being killed by the kernel once the pages are
// touched. The machine's total says little: other programs, the cgroup the process runs in and
// its own resource limits all take their share first.

#include <cstdint>

// The least of: the memory the system has available (with free swap), what the process's cgroup
// still allows, and the room left under RLIMIT_AS and RLIMIT_DATA.
std::uint64_t AvailableMemory();

// True when `count` blocks of `bytes` each fit in what is available, with room to spare for the
// work done around them.
bool MemoryAvailableFor(std::uint64_t count, std::uint64_t bytes);
