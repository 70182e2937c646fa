#include "cli/Arguments.h"

#include <charconv>

std::string Arguments::Get(const std::string& name, const std::string& fallback) const
{
    const auto it = options.find(name);
    return it == options.end() ? fallback : it->second;
}

std::optional<Arguments> ParseArguments(const std::vector<std::string>& words,
                                        const std::set<std::string>& valued, std::string& error)
{
    Arguments args;
    bool onlyPositional = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string word = words[i];
        if (onlyPositional || word.size() < 2 || word[0] != '-') {
            args.positional.push_back(word);
            continue;
        }
        if (word == "--") {
            onlyPositional = true;
            continue;
        }
        if (word == "--help" || word == "-h") {
            args.help = true;
            continue;
        }
        std::optional<std::string> value;
        if (const auto eq = word.find('='); eq != std::string::npos && word.starts_with("--")) {
            value = word.substr(eq + 1);
            word.resize(eq);
        }
        if (!valued.count(word)) {
            error = "unknown option " + word;
            return std::nullopt;
        }
        if (!value) {
            if (i + 1 == words.size()) {
                error = "option " + word + " needs a value";
                return std::nullopt;
            }
            value = words[++i];
        }
        args.options[word] = *value;
    }
    return args;
}

std::optional<std::uint64_t> ParseNumber(const std::string& text, std::uint64_t max)
{
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value > max)
        return std::nullopt;
    return value;
}
