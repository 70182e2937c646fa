// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/OutputCheck.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <sys/stat.h>

#include "io/Message.h"

namespace fs = std::filesystem;

namespace {
bool SameFile(const fs::path& a, const fs::path& b)
{
    struct stat first {}, second {};
    if (::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0)
        return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    std::error_code ignored;
    return fs::weakly_canonical(fs::absolute(a, ignored), ignored) ==
           fs::weakly_canonical(fs::absolute(b, ignored), ignored);
}

bool EndsIn(const fs::path& path, std::string_view ending)
{
    const std::string name = path.filename().string();
    return name.size() > ending.size() &&
           std::equal(ending.rbegin(), ending.rend(), name.rbegin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}
}  // namespace

bool CheckOutputs(std::string_view command, const std::vector<fs::path>& outputs, const std::vector<fs::path>& inputs,
                  std::string_view ending)
{
    const std::string prefix = std::string(command) + ": ";
    for (const fs::path& output : outputs) {
        if (!ending.empty() && !EndsIn(output, ending)) {
            ShowMessage(prefix + output.string() + ": the name must end in " + std::string(ending));
            return false;
        }
        const auto input = std::find_if(inputs.begin(), inputs.end(), [&](const fs::path& in) { return SameFile(in, output); });
        if (input != inputs.end()) {
            const std::string which = *input == output ? "" : " (" + input->string() + ")";
            ShowMessage(prefix + output.string() + ": the file to write is also an input" + which +
                        ", which writing it would lose: name another file");
            return false;
        }
    }
    return true;
}
