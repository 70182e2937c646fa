// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// read(), write() and their positioned forms move at most about 2 GiB a call and may stop early on
// a signal: a transfer of many bytes is a loop of calls.

#include <cerrno>
#include <cstddef>
#include <sys/types.h>

// Calls `call(done)`, which moves bytes from `done` on and returns how many it moved, until all
// `count` bytes are done, a call moves none, or one fails other than by an interrupt. The bytes
// done, or -1 with errno set.
template <typename Call>
std::ptrdiff_t TransferWhole(std::size_t count, Call call)
{
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = call(done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::ptrdiff_t>(done);
}

// A write that stops short without an error stopped on a full disk.
inline bool WroteWhole(std::ptrdiff_t done, std::size_t count)
{
    if (done >= 0 && static_cast<std::size_t>(done) < count)
        errno = ENOSPC;
    return done >= 0 && static_cast<std::size_t>(done) == count;
}
