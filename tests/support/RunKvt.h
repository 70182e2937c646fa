// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the built kvt tool (its path is the KVT_BINARY definition) and captures what it says.

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

struct KvtRun {
    int status = -1;
    std::string out;
    std::string err;
};

// kvt run under `wrapper`, a command that runs the one after it (such as "prlimit --as=N"); as
// RunKvt otherwise.
inline KvtRun RunKvtUnder(const std::string& wrapper, const std::vector<std::string>& args,
                          const std::filesystem::path& errFile)
{
    std::string command = wrapper + " " KVT_BINARY;
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    command += " 2>'" + errFile.string() + "'";
    KvtRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    std::array<char, 4096> buffer{};
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
        run.out.append(buffer.data(), n);
    const int raw = ::pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    if (FILE* err = std::fopen(errFile.c_str(), "r")) {
        for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), err)) > 0;)
            run.err.append(buffer.data(), n);
        std::fclose(err);
    }
    return run;
}

inline KvtRun RunKvt(const std::vector<std::string>& args, const std::filesystem::path& errFile)
{
    return RunKvtUnder("", args, errFile);
}
