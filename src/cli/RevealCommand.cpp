// kvt reveal: two shadows laid exactly on each other.

#include <memory>

#include "cli/Commands.h"
#include "cli/ShadowPair.h"
#include "cli/StreamFiles.h"
#include "vss/StreamStacking.h"

namespace {
struct RevealOptions {
    std::string shadow1;
    std::string shadow2;
    std::string out;
};

int RunReveal(const RevealOptions& options)
{
    const auto shadows = OpenShadowPair(options.shadow1, options.shadow2);
    if (!shadows)
        return kExitFailed;
    const auto& [shadow1, shadow2] = *shadows;
    CImageStream revealed;
    if (!RevealByStacking(*shadow1, *shadow2, revealed))
        return kExitFailed;
    return SaveStream(revealed, options.out) ? kExitOk : kExitFailed;
}
}  // namespace

void AddRevealCommand(CCommandLine& commandLine)
{
    auto options = std::make_shared<RevealOptions>();
    CLI::App& reveal = commandLine.AddCommand(
        "reveal",
        "Writes what a viewer sees with the two shadows exactly on top of each other: each frame\n"
        "the bytewise AND of the two, for as many frames as the shorter holds.",
        [options](const CommonOptions&) { return RunReveal(*options); });
    reveal.add_option("SHADOW1", options->shadow1, "The first shadow")->required();
    reveal.add_option("SHADOW2", options->shadow2, "The second shadow")->required();
    reveal.add_option("-o", options->out, "The file to write")->required()->type_name("OUT");
}
