#include "tools/vorelline/profile_combination.h"

#include "engine/correction_design.h"

#include <algorithm>
#include <cmath>

namespace {

bool Positive(double v) {
    return std::isfinite(v) && v > 0.0;
}

void MarkUsable(const double* levels, int count, bool* usable) {
    double loudest = 0.0;
    for (int k = 0; k < count; ++k)
        if (Positive(levels[k])) loudest = std::max(loudest, levels[k]);
    const double lowest = loudest * std::pow(10.0, -kUsableLevelRangeDb / 20.0);
    for (int k = 0; k < count; ++k)
        usable[k] = Positive(levels[k]) && levels[k] >= lowest;
}

} // namespace

std::array<bool, kBandCount> UsableLevels(const std::array<double, kBandCount>& levels) {
    std::array<bool, kBandCount> usable{};
    MarkUsable(levels.data(), kNormalBands, usable.data());
    MarkUsable(levels.data() + kHighOffset, kHighBands, usable.data() + kHighOffset);
    return usable;
}

MeasuredDifference MeasuredDifferenceOf(const AlgRecord& r) {
    MeasuredDifference d;
    d.levelMatchGain = LevelMatchGain(r.targetBands.data(), r.referenceBands.data());
    const auto target = UsableLevels(r.targetBands), reference = UsableLevels(r.referenceBands);
    for (int k = 0; k < kBandCount; ++k) {
        const double x = d.levelMatchGain * r.targetBands[k] / r.referenceBands[k];
        d.known[k] = target[k] && reference[k] && Positive(x);
        d.ratio[k] = d.known[k] ? x : 1.0;
    }
    return d;
}

ProfileCombination CombineProfiles(const AlgRecord& a, const AlgRecord& like, const ProtectionRule& rule) {
    ProfileCombination c;
    c.record.flags = a.flags;
    c.record.gainPosition = 0.5;
    const auto ta = UsableLevels(a.targetBands), ra = UsableLevels(a.referenceBands);
    const auto tb = UsableLevels(like.targetBands), rb = UsableLevels(like.referenceBands);
    for (int k = 0; k < kBandCount; ++k) {
        double target = 0.0, reference = 0.0;
        if (ta[k] && ra[k] && tb[k] && rb[k]) {
            const double material = std::sqrt(a.referenceBands[k] * like.referenceBands[k]);
            target = material * (a.targetBands[k] / a.referenceBands[k]);
            reference = material * (like.targetBands[k] / like.referenceBands[k]);
        }
        if (!Positive(target) || !Positive(reference)) {
            target = reference = 0.0;
            c.unknownBands.push_back(k);
        }
        c.record.targetBands[k] = target;
        c.record.referenceBands[k] = reference;
    }
    // No coherence survives in a file, so every band counts as fully trusted: of the protection only
    // the boost limit is left. Bands without levels come out flat (their ratio cannot be formed).
    std::array<double, kBandCount> trusted;
    trusted.fill(1.0);
    ProtectedCurve(rule, c.record.targetBands.data(), c.record.referenceBands.data(), trusted.data(),
                   c.record.userCurve.data(), c.protection.data());
    c.limitedBands = static_cast<int>(std::count_if(c.protection.begin(), c.protection.end(),
                                                    [](const BandProtection& b) { return b.limited; }));
    return c;
}
