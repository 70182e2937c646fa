// SPDX-License-Identifier: GPL-3.0-or-later
// kvt demo: the built-in secret motion picture as a file.

#include <filesystem>
#include <iostream>
#include <memory>

#include "cli/Commands.h"
#include "cli/DemoStream.h"
#include "stream/StreamFiles.h"

namespace {
int RunDemo(const std::string& outDir)
{
    const std::filesystem::path out = std::filesystem::path(outDir) / "demo.kvt";
    if (!SaveStream(*MakeDemoStream(), out))
        return kExitFailed;
    std::cout << out.string() << '\n';
    return kExitOk;
}
}  // namespace

void AddDemoCommand(CCommandLine& commandLine)
{
    auto outDir = std::make_shared<std::string>(".");
    CCommand demo = commandLine.AddCommand("demo", "Writes demo.kvt, the built-in secret motion picture.",
                                            [outDir](const CommonOptions&) { return RunDemo(*outDir); });
    demo.AddOption("--out-dir", *outDir, "Folder to write into (default: the current one)").TypeName("DIR");
}
