#pragma once
// Command-line words of one `kvt` command: positional arguments, options with a value
// ("--seed 7", "-o out.kvt", "--seed=7") and --help.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;
    bool help = false;

    bool Has(const std::string& name) const { return options.count(name) != 0; }
    std::string Get(const std::string& name, const std::string& fallback = {}) const;
};

// Parses words; `valued` names the options that take a value. On a usage error returns nothing and
// sets `error`.
std::optional<Arguments> ParseArguments(const std::vector<std::string>& words,
                                        const std::set<std::string>& valued, std::string& error);

// A whole non-negative decimal number that fits the range, or nothing.
std::optional<std::uint64_t> ParseNumber(const std::string& text, std::uint64_t max);
