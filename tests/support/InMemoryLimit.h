// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Streams larger than the in-memory limit are read on demand and built in work files; a test
// lowers the limit to take those ways with small streams, and gives the work files a cache folder
// of its own.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>
#include <fstream>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

#include "io/Archive.h"
#include "stream/ImageStream.h"

class InMemoryLimitScope {
public:
    explicit InMemoryLimitScope(std::uint64_t bytes, const std::filesystem::path& cacheHome = {})
        : m_nPrevious(InMemoryLimit())
    {
        SetInMemoryLimit(bytes);
        if (const char* previous = std::getenv("XDG_CACHE_HOME"))
            m_previousCache = previous;
        if (!cacheHome.empty())
            ::setenv("XDG_CACHE_HOME", cacheHome.c_str(), 1);
    }
    ~InMemoryLimitScope()
    {
        SetInMemoryLimit(m_nPrevious);
        if (m_previousCache)
            ::setenv("XDG_CACHE_HOME", m_previousCache->c_str(), 1);
        else
            ::unsetenv("XDG_CACHE_HOME");
    }
    InMemoryLimitScope(const InMemoryLimitScope&) = delete;
    InMemoryLimitScope& operator=(const InMemoryLimitScope&) = delete;

private:
    std::uint64_t m_nPrevious;
    std::optional<std::string> m_previousCache;
};

// The stream file at `path`, loaded with the in-memory limit at `limit`: 0 reads it on demand.
inline std::unique_ptr<CImageStream> LoadStreamFile(const std::filesystem::path& path, std::uint64_t limit)
{
    const InMemoryLimitScope scope(limit);
    auto stream = std::make_unique<CImageStream>();
    CArchive ar(path, CArchive::load);
    EXPECT_TRUE(stream->Load(ar));
    return stream;
}

// Lets this process have `extra` bytes of address space more than it has now (for a death test's
// child: the limit stays).
inline void LimitAddressSpaceTo(std::uint64_t extra)
{
    std::ifstream statm("/proc/self/statm");
    rlim_t pages = 0;
    statm >> pages;
    struct rlimit limit {};
    limit.rlim_cur = limit.rlim_max = pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + extra;
    ::setrlimit(RLIMIT_AS, &limit);
}
