// Microphone profiles, not timed: how closely a correction combined from two profiles (each microphone
// measured against the same calibrated measurement microphone, in its own take) matches the one
// measured directly with both microphones in one take, and what playing it does.
//
// Per pair of synthetic microphones and material, at normal / high resolution:
//   trusted  bands from 100 Hz to 8 kHz with usable levels and full coherence in all three takes
//   diff     the largest |combined - direct| measured difference over them, dB, and where (at Hz)
//   apply    A's recording of the direct take played through the combined file, against B's
//            recording of it: the largest level difference in 1/6-octave bands 100 Hz .. 8 kHz, dB
//   (direct) the same for the direct measurement's file with the same wanted response (flat, boost
//            limit): what the resolution allows at all
#include "bench/quality_profiles.h"

#include "support/profile_trial.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace profile_sounds;

struct Mic {
    const char* name;
    Response H;
};

struct Condition {
    const char* name;
    bool voice;
    double measurementNoiseDb, micNoiseDb;
};

} // namespace

void ReportProfileCombinations() {
    // The plug-in makes its documents folder when constructed: somewhere harmless.
    char folder[] = "/tmp/tv-profiles-XXXXXX";
    if (!mkdtemp(folder)) return;
    setenv("XDG_DOCUMENTS_DIR", folder, 1);

    const Mic dynamic{"dynamic", [](double f) {
                          return HighPass2(f, 100, 0.707) * Peak(f, 4000, 1.0, 6.0) *
                                 LowPass2(f, 10000, 0.707);
                      }};
    const Mic condenser{"condenser +4dB@6k", [](double f) { return Peak(f, 6000, 1.0, 4.0); }};
    const Mic highPass{"high-pass 120Hz", [](double f) { return HighPass2(f, 120, 0.7071); }};
    const Mic lowPass{"low-pass 7k 24dB",
                      [](double f) { return LowPass2(f, 7000, 0.5412) * LowPass2(f, 7000, 1.3066); }};
    const Mic notch{"notch -10dB@2k", [](double f) { return Peak(f, 2000, 8.0, -10.0); }};
    const std::pair<Mic, Mic> pairs[] = {{dynamic, condenser},
                                         {condenser, dynamic},
                                         {highPass, condenser},
                                         {lowPass, dynamic},
                                         {notch, condenser}};
    const Condition conditions[] = {{"voice", true, -60, -60},
                                    {"voice mn-45", true, -45, -60},
                                    {"voice tn-30", true, -60, -30},
                                    {"pink mn-45", false, -45, -60}};

    std::printf("\nmicrophone profiles: A like B from two takes against a calibrated measurement microphone, "
                "against A vs B in one take\n"
                "(mn: measurement microphone noise, tn: noise of A and B, dB below the material)\n");
    std::printf("%-38s %-12s | %-10s %5s %6s %5s %8s | %-10s %5s %6s %5s %8s\n", "A like B", "material",
                "normal", "diff", "at Hz", "apply", "(direct)", "high", "diff", "at Hz", "apply", "(direct)");
    unsigned seed = 1;
    for (const Condition& c : conditions)
        for (const auto& [a, b] : pairs) {
            profile_trial::Setup setup;
            setup.micA = a.H;
            setup.micB = b.H;
            setup.voice = c.voice;
            setup.measurementNoiseDb = c.measurementNoiseDb;
            setup.micNoiseDb = c.micNoiseDb;
            setup.seed = seed++;
            const profile_trial::Figures f = profile_trial::Run(setup);
            const std::string name = std::string(a.name) + " like " + b.name;
            if (!f.measured) {
                std::printf("%-38s %-12s | not measured: %s\n", name.c_str(), c.name, f.failure.c_str());
                continue;
            }
            std::printf(
                "%-38s %-12s | %3d of %-3d %5.2f %6.0f %5.2f %8.2f | %3d of %-3d %5.2f %6.0f %5.2f %8.2f\n",
                name.c_str(), c.name, f.trustedBands[0], f.bandsInRange[0], f.largestDifferenceDb[0],
                f.largestDifferenceHz[0], f.largestApplyErrorDb[0], f.directApplyErrorDb[0],
                f.trustedBands[1], f.bandsInRange[1], f.largestDifferenceDb[1], f.largestDifferenceHz[1],
                f.largestApplyErrorDb[1], f.directApplyErrorDb[1]);
            std::fflush(stdout);
        }
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
}
