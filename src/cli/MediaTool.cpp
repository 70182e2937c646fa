// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/MediaTool.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

#include "cli/CommandLine.h"
#include "io/Message.h"

int RunMediaTool(char** argv)
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        ShowMessage("kvt: cannot find kvt-media: /proc/self/exe: " + error.message());
        return kExitFailed;
    }
    const std::filesystem::path dir = self.parent_path();
    std::filesystem::path tool = dir / "kvt-media";
    if (::access(tool.c_str(), X_OK) != 0)
        tool = dir / KVT_MEDIA_TOOL_FROM_BIN / "kvt-media";
    ::execv(tool.c_str(), argv);
    ShowMessage("kvt: cannot run " + tool.string() + ": " + std::strerror(errno));
    return kExitFailed;
}
