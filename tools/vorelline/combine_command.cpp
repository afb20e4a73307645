// vorelline combine: the correction between two microphone profiles.
#include "tools/vorelline/commands.h"

#include "engine/band_grid.h"
#include "tools/vorelline/command_line.h"
#include "tools/vorelline/design_report.h"
#include "tools/vorelline/output_file.h"
#include "tools/vorelline/output_guard.h"
#include "tools/vorelline/profile_combination.h"
#include "tools/vorelline/tool_messages.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// "normal bands 32 (20000 Hz); semitone bands 0 (20.6 Hz), 1 (21.8 Hz)", or "none".
std::string BandList(const std::vector<int>& bands) {
    const auto& freq = TheBandGrid().bandFrequencies;
    std::string normal, semitone;
    for (int k : bands) {
        std::string& list = k < kHighOffset ? normal : semitone;
        char entry[48];
        std::snprintf(entry, sizeof entry, "%s%d (%.5g Hz)", list.empty() ? "" : ", ",
                      k < kHighOffset ? k : k - kHighOffset, freq[k]);
        list += entry;
    }
    std::string out;
    if (!normal.empty()) out += "normal bands " + normal;
    if (!semitone.empty()) out += (out.empty() ? "" : "; ") + ("semitone bands " + semitone);
    return out.empty() ? "none" : out;
}

void PrintCombination(const ProfileCombination& c, const std::string& a, const std::string& b,
                      const ProtectionRule& rule) {
    const MeasuredDifference d = MeasuredDifferenceOf(c.record);
    std::printf(
        "%s like %s: the measured difference is %s's microphone against %s's, the wanted response flat\n"
        "both files must come from the same measurement microphone with its calibration file: a .alg "
        "file does not record it, so this cannot be checked\n\n",
        a.c_str(), b.c_str(), a.c_str(), b.c_str());
    std::printf("level-match gain %.4f (%+.2f dB)\n", d.levelMatchGain, ToDb(d.levelMatchGain));
    if (!rule.enabled)
        std::printf("protection: off (exact correction)\n");
    else if (rule.maxBoostDb > 0.0)
        std::printf(
            "protection: boost limit +%.1f dB, reached in %d of %d bands; the files keep no coherence, "
            "so no band is protected for it\n",
            rule.maxBoostDb, c.limitedBands, kNormalBands);
    else
        std::printf(
            "protection: no boost limit; the files keep no coherence, so no band is protected for it\n");
    std::printf("uncorrected, no usable level in one of the files: %s\n\n", BandList(c.unknownBands).c_str());

    std::printf("  band    centre Hz   measured dB  correction dB\n");
    const auto& freq = TheBandGrid().bandFrequencies;
    for (int k = 0; k < kNormalBands; ++k) {
        if (!d.known[k]) {
            std::printf("  %4d  %11.2f  %12s  %13s\n", k, freq[k], "-", "-");
            continue;
        }
        const double measuredDb = ToDb(d.ratio[k]);
        const double correctionDb = ToDb(c.record.userCurve[k]) - measuredDb;
        std::printf("  %4d  %11.2f  %12.2f  %13.2f%s\n", k, freq[k], measuredDb, correctionDb,
                    c.protection[k].limited ? "  (limited)" : "");
    }
}

bool LoadProfile(const std::string& path, AlgRecord& record) {
    const MessageFileScope about(path);
    return LoadAlgFile(path, record);
}

} // namespace

int RunCombine(const std::vector<std::string>& args) {
    ParsedArguments a;
    std::string error;
    if (!ParseArguments(args, 2, {{"--like", true}, {"-o", true}, {"--exact", false}, {"--max-boost", true}},
                        1, a, error))
        return UsageError("combine", error);
    if (a.positionals.size() != 1 || !a.Has("--like") || !a.Has("-o"))
        return UsageError("combine", "a .alg file, --like FILE.alg and -o OUT.alg are needed");
    if (!OutputsAreSafe({{"", a.positionals[0]}, {"--like", a.Value("--like")}},
                        {{{"-o", a.Value("-o")}, OutputKind::Correction}}))
        return 2;
    ProtectionRule rule;
    if (!ProtectionFromArguments(a, rule)) return UsageError("combine", kMaxBoostUsage);

    AlgRecord profile, like;
    if (!LoadProfile(a.positionals[0], profile) || !LoadProfile(a.Value("--like"), like)) return 1;
    const ProfileCombination c = CombineProfiles(profile, like, rule);
    if (c.unknownBands.size() == static_cast<std::size_t>(kBandCount)) {
        std::fprintf(stderr,
                     "vorelline: %s and %s: no band has usable levels in both files; nothing written\n",
                     a.positionals[0].c_str(), a.Value("--like").c_str());
        return 1;
    }
    const auto alg = EncodeAlgRecord(c.record);
    if (!WriteOutputFile(a.Value("-o"), {alg.begin(), alg.end()}, error)) {
        std::fprintf(stderr, "vorelline: %s\n", error.c_str());
        return 1;
    }
    PrintCombination(c, a.positionals[0], a.Value("--like"), rule);
    std::printf("\nsaved %s\n", a.Value("-o").c_str());
    return 0;
}
