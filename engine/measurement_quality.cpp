#include "engine/measurement_quality.h"

#include "engine/band_spectra.h"

MeasurementVerdict JudgeMeasurement(const MeasurementQuality& q) {
    if (q.checks.reference.silent) return MeasurementVerdict::ReferenceSilent;
    if (q.checks.target.silent) return MeasurementVerdict::TargetSilent;
    // The bands the level match uses: a voice has energy in all of them.
    for (int i = 5; i <= 27; ++i)
        if (q.coherence[i] >= kUsableCoherence) return MeasurementVerdict::Usable;
    return MeasurementVerdict::NothingInCommon;
}

bool AssessRecordings(const double* ref, const double* tgt, int order, const BandBins& bins, double rate,
                      MeasurementQuality& out, double* referenceBands, double* targetBands) {
    const std::size_t n = std::size_t{1} << order;
    MeasurementQuality q;
    q.checks.reference = CheckChannel(ref, n);
    q.checks.target = CheckChannel(tgt, n);
    CrossSpectra spectra;
    if (!AverageCrossSpectra(ref, tgt, order, spectra)) return false;
    // A silent channel has no delay or polarity; its rounding noise would suggest one.
    if (!q.checks.reference.silent && !q.checks.target.silent &&
        !CheckDelayAndPolarity(spectra, rate, q.checks))
        return false;
    BandSpectra sums;
    SumBandSpectra(spectra, bins, order, q.checks.correlated ? q.checks.delaySamples : 0.0, sums);
    BandCoherence(sums, q.coherence.data());
    if (referenceBands && targetBands) BandLevels(sums, spectra, order, referenceBands, targetBands);
    q.known = true;
    out = q;
    return true;
}
