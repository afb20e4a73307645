#include "tools/vorelline/command_line.h"

#include "engine/protected_curve.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

bool ParseArguments(const std::vector<std::string>& args, std::size_t first,
                    const std::vector<OptionSpec>& allowedOptions, std::size_t maxPositionals,
                    ParsedArguments& parsed, std::string& error) {
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() > 1 && a[0] == '-') {
            const OptionSpec* known = nullptr;
            for (const OptionSpec& s : allowedOptions)
                if (a == s.name) known = &s;
            if (!known) {
                error = "unknown option " + a;
                return false;
            }
            if (parsed.Has(a)) {
                error = "option " + a + " given twice";
                return false;
            }
            if (!known->takesValue) {
                parsed.flags.insert(a);
                continue;
            }
            if (i + 1 >= args.size()) {
                error = "option " + a + " needs a value";
                return false;
            }
            parsed.values[a] = args[++i];
        } else {
            if (parsed.positionals.size() >= maxPositionals) {
                error = "unexpected argument " + a;
                return false;
            }
            parsed.positionals.push_back(a);
        }
    }
    return true;
}

bool ParsePositiveNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(v) || v <= 0.0) return false;
    value = v;
    return true;
}

bool ParseSampleRate(const std::string& text, double& rate) {
    double v = 0.0;
    if (!ParsePositiveNumber(text, v) || v != std::floor(v) || v < 8000.0 || v > 768000.0) return false;
    rate = v;
    return true;
}

bool ProtectionFromArguments(const ParsedArguments& a, ProtectionRule& rule) {
    ProtectionRule r = rule;
    r.enabled = !a.Has("--exact");
    if (a.Has("--max-boost")) {
        const std::string v = a.Value("--max-boost");
        char* end = nullptr;
        const double db = std::strtod(v.c_str(), &end);
        if (v.empty() || *end != '\0' || !std::isfinite(db) || db < 0.0 || db > 200.0) return false;
        r.maxBoostDb = db;
    }
    rule = r;
    return true;
}
