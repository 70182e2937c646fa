// kvt copy: a stream loaded and saved again, as the player does.

#include <memory>

#include "cli/Commands.h"
#include "cli/StreamFiles.h"

namespace {
struct CopyOptions {
    std::string in;
    std::string out;
};

int RunCopy(const CopyOptions& options)
{
    const auto stream = OpenStream(options.in);
    return stream && SaveStream(*stream, options.out) ? kExitOk : kExitFailed;
}
}  // namespace

void AddCopyCommand(CCommandLine& commandLine)
{
    auto options = std::make_shared<CopyOptions>();
    CLI::App& copy = commandLine.AddCommand(
        "copy", "Loads IN as the player opens a file and writes it to OUT as the player saves one.",
        [options](const CommonOptions&) { return RunCopy(*options); });
    copy.add_option("IN", options->in, "The stream to read")->required();
    copy.add_option("OUT", options->out, "The file to write")->required();
}
