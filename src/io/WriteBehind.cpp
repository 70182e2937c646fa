// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/WriteBehind.h"

#include <fcntl.h>

namespace {
// Whole pages; large enough that the calls are rare, small enough that the cache stays small.
constexpr std::uint64_t kChunkBytes = std::uint64_t{8} << 20;
// Chunks left in flight before the oldest is waited for: the disk works while the next are made.
constexpr std::uint64_t kChunksInFlight = 2;
}  // namespace

void CWriteBehind::Advance(std::uint64_t bytes)
{
    // What is written but still in a buffer of the caller's lies in the newest chunk, never in one
    // that is dropped.
    while (bytes - m_nStarted >= kChunkBytes) {
        (void)::sync_file_range(m_fd, static_cast<off_t>(m_nStarted), kChunkBytes, SYNC_FILE_RANGE_WRITE);
        m_nStarted += kChunkBytes;
        if (m_nStarted - m_nDropped <= kChunksInFlight * kChunkBytes)
            continue;
        (void)::sync_file_range(m_fd, static_cast<off_t>(m_nDropped), kChunkBytes,
                                SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
        (void)::posix_fadvise(m_fd, static_cast<off_t>(m_nDropped), kChunkBytes, POSIX_FADV_DONTNEED);
        m_nDropped += kChunkBytes;
    }
}
