#include "tools/vorelline/peq_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <sstream>

std::vector<PeakingFilter> PeakingFiltersOf(const CascadeSnapshot& c) {
    std::vector<PeakingFilter> filters;
    for (const PeakingSection& s : c.sections) {
        if (s.b == 0.0) continue;
        const double alpha = (1.0 - s.a2) / (1.0 + s.a2);
        const double w0 = std::acos(std::clamp(-s.a1 * (1.0 + alpha) / 2.0, -1.0, 1.0));
        const double g = s.b * (1.0 + alpha) / alpha;
        const double A = std::sqrt(1.0 + g);
        filters.push_back({w0 * c.rate / (2.0 * std::numbers::pi), 20.0 * std::log10(1.0 + g),
                           std::sin(w0) / (2.0 * alpha * A)});
    }
    return filters;
}

std::string PeqText(double preampDb, const std::vector<PeakingFilter>& filters, double sampleRate) {
    char line[160];
    std::snprintf(line, sizeof line,
                  "# Sample rate: %.0f Hz. These filters are made for this rate only; export again for "
                  "another.\n",
                  sampleRate);
    std::string text = line;
    std::snprintf(line, sizeof line, "Preamp: %.3f dB\n", preampDb);
    text += line;
    int n = 0;
    for (const PeakingFilter& f : filters) {
        std::snprintf(line, sizeof line, "Filter %d: ON PK Fc %.2f Hz Gain %.3f dB Q %.4f\n", ++n, f.centreHz,
                      f.gainDb, f.q);
        text += line;
    }
    return text;
}

bool ParsePeqText(const std::string& text, double& preampDb, std::vector<PeakingFilter>& filters) {
    std::istringstream lines(text);
    preampDb = 0.0;
    filters.clear();
    for (std::string line; std::getline(lines, line);) {
        double a = 0, b = 0, c = 0;
        int n = 0;
        if (std::sscanf(line.c_str(), "Preamp: %lf dB", &a) == 1) {
            preampDb = a;
        } else if (line.rfind("Filter", 0) == 0) {
            if (std::sscanf(line.c_str(), "Filter %d: ON PK Fc %lf Hz Gain %lf dB Q %lf", &n, &a, &b, &c) !=
                4)
                return false;
            filters.push_back({a, b, c});
        }
    }
    return true;
}

CascadeSnapshot SynthesiseCascade(double preampDb, const std::vector<PeakingFilter>& filters, double rate) {
    CascadeSnapshot c;
    c.rate = rate;
    c.gain = std::pow(10.0, preampDb / 20.0);
    for (const PeakingFilter& f : filters) {
        const double A = std::pow(10.0, f.gainDb / 40.0);
        const double w0 = 2.0 * std::numbers::pi * f.centreHz / rate;
        const double alphaQ = std::sin(w0) / (2.0 * f.q);
        // (1 + aA - 2cos z^-1 + (1 - aA) z^-2) / (1 + a/A - 2cos z^-1 + (1 - a/A) z^-2), normalised.
        const double a0 = 1.0 + alphaQ / A;
        PeakingSection s;
        s.b = alphaQ * (A - 1.0 / A) / a0;
        s.a1 = -2.0 * std::cos(w0) / a0;
        s.a2 = (1.0 - alphaQ / A) / a0;
        c.sections.push_back(s);
    }
    return c;
}

double MaxMagnitudeDifferenceDb(const CascadeSnapshot& a, const CascadeSnapshot& b) {
    const double top = std::min(20000.0, 0.49 * a.rate);
    double worst = 0.0;
    for (int i = 0; i < 400; ++i) {
        const double hz = 10.0 * std::pow(top / 10.0, i / 399.0);
        const double d =
            20.0 * std::log10(std::abs(CascadeResponse(a, hz)) / std::abs(CascadeResponse(b, hz)));
        worst = std::max(worst, std::fabs(d));
    }
    return worst;
}
