// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/MemoryBudget.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {
constexpr std::uint64_t kUnlimited = std::numeric_limits<std::uint64_t>::max();

std::uint64_t Subtract(std::uint64_t limit, std::uint64_t used)
{
    return limit > used ? limit - used : 0;
}

// MemAvailable and SwapFree from /proc/meminfo, in bytes.
std::uint64_t SystemAvailable()
{
    std::ifstream meminfo("/proc/meminfo");
    std::uint64_t total = 0;
    bool found = false;
    for (std::string key; meminfo >> key;) {
        std::uint64_t kib = 0;
        meminfo >> kib;
        meminfo.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
        if (key == "MemAvailable:" || key == "SwapFree:") {
            total += kib * 1024;
            found = true;
        }
    }
    return found ? total : kUnlimited;
}

// A number from a cgroup file; "max" or a missing file is no limit.
std::uint64_t ReadCgroupValue(const std::string& path)
{
    std::ifstream in(path);
    std::uint64_t value = 0;
    return in >> value ? value : kUnlimited;
}

// The room the process's memory cgroup and each of its ancestors leave (cgroup v2 or v1). Where
// the process's own folder is not visible (a cgroup namespace), the mounted root stands for it.
std::uint64_t CgroupAvailable()
{
    std::ifstream cgroups("/proc/self/cgroup");
    std::uint64_t room = kUnlimited;
    for (std::string line; std::getline(cgroups, line);) {
        std::istringstream fields(line);
        std::string id, controllers, path;
        std::getline(fields, id, ':');
        std::getline(fields, controllers, ':');
        std::getline(fields, path);
        std::string base, limitFile, usageFile;
        if (id == "0" && controllers.empty()) {
            base = "/sys/fs/cgroup";
            limitFile = "/memory.max";
            usageFile = "/memory.current";
        } else if (controllers.find("memory") != std::string::npos) {
            base = "/sys/fs/cgroup/memory";
            limitFile = "/memory.limit_in_bytes";
            usageFile = "/memory.usage_in_bytes";
        } else {
            continue;
        }
        for (;;) {
            const std::string dir = base + (path == "/" ? "" : path);
            const std::uint64_t limit = ReadCgroupValue(dir + limitFile);
            if (limit != kUnlimited)
                room = std::min(room, Subtract(limit, ReadCgroupValue(dir + usageFile)));
            if (path.empty() || path == "/")
                break;
            path.erase(path.find_last_of('/'));
        }
    }
    return room;
}

// Room under a resource limit, given what the process already uses of it.
std::uint64_t RlimitAvailable(int resource, std::uint64_t used)
{
    struct rlimit limit {};
    if (::getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return kUnlimited;
    return Subtract(limit.rlim_cur, used);
}

std::uint64_t ProcessLimitsAvailable()
{
    // /proc/self/statm: total size, resident, shared, text, lib, data, dirty, in pages.
    std::ifstream statm("/proc/self/statm");
    std::uint64_t size = 0, resident = 0, shared = 0, text = 0, lib = 0, data = 0;
    statm >> size >> resident >> shared >> text >> lib >> data;
    const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    return std::min(RlimitAvailable(RLIMIT_AS, size * page), RlimitAvailable(RLIMIT_DATA, data * page));
}
}  // namespace

std::uint64_t AvailableMemory()
{
    return std::min({SystemAvailable(), CgroupAvailable(), ProcessLimitsAvailable()});
}

bool MemoryAvailableFor(std::uint64_t count, std::uint64_t bytes)
{
    if (count == 0 || bytes == 0)
        return true;
    // An eighth is kept back for everything else the process does.
    const std::uint64_t available = AvailableMemory();
    const std::uint64_t usable = available - available / 8;
    return count <= usable / bytes;
}
