#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

// Options of one command: "--name VALUE" when takesValue, else a bare "--name" flag.
struct OptionSpec {
    const char* name;
    bool takesValue;
};

struct ParsedArguments {
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    std::vector<std::string> positionals;

    bool Has(const std::string& name) const { return flags.count(name) || values.count(name); }
    std::string Value(const std::string& name, const std::string& fallback = {}) const {
        auto it = values.find(name);
        return it == values.end() ? fallback : it->second;
    }
};

// Parses args[first...]. False with a reason for an unknown option, a missing value, an option given
// twice or more positionals than `maxPositionals`.
bool ParseArguments(const std::vector<std::string>& args, std::size_t first,
                    const std::vector<OptionSpec>& allowedOptions, std::size_t maxPositionals,
                    ParsedArguments& parsed, std::string& error);

// A strictly parsed positive finite number (the whole text must be the number).
bool ParsePositiveNumber(const std::string& text, double& value);

// The sample rates the tool designs for: a whole number of hertz from 8000 to 768000.
bool ParseSampleRate(const std::string& text, double& rate);
inline constexpr const char* kSampleRateRange = "a whole number of hertz from 8000 to 768000";

struct ProtectionRule;

// The protection a measurement's wanted response starts with, from --exact and --max-boost (dB, 0
// for no limit, up to 200). False when --max-boost is not such a number; `rule` is then unchanged.
bool ProtectionFromArguments(const ParsedArguments& a, ProtectionRule& rule);
constexpr const char* kMaxBoostUsage = "--max-boost needs a number of dB from 0 (no limit) to 200";
