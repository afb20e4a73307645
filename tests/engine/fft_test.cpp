#include "engine/double_array.h"
#include "engine/fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

namespace {

std::vector<std::complex<double>> NaiveDft(const std::vector<double>& re, const std::vector<double>& im) {
    const size_t n = re.size();
    std::vector<std::complex<double>> out(n), w(n);
    for (size_t e = 0; e < n; ++e)
        w[e] = std::polar(1.0, -2.0 * std::numbers::pi * static_cast<double>(e) / static_cast<double>(n));
    for (size_t k = 0; k < n; ++k) {
        std::complex<double> sum = 0;
        for (size_t t = 0; t < n; ++t)
            sum += std::complex<double>(re[t], im[t]) * w[(k * t) & (n - 1)];
        out[k] = sum;
    }
    return out;
}

} // namespace

// Every size the transform handles directly and both shapes of the split form (even and odd order).
TEST(Fft, MatchesTheDiscreteFourierTransform) {
    std::mt19937 rng(7);
    std::normal_distribution<double> noise;
    for (int order : {0, 1, 2, 3, 5, 8, 11, 12, 13}) {
        const size_t n = size_t{1} << order;
        std::vector<double> re(n), im(n);
        for (size_t i = 0; i < n; ++i) {
            re[i] = noise(rng);
            im[i] = noise(rng);
        }
        const auto expected = NaiveDft(re, im);
        ASSERT_TRUE(Fft(re.data(), im.data(), order));
        double worst = 0;
        for (size_t k = 0; k < n; ++k)
            worst = std::max(worst, std::abs(std::complex<double>(re[k], im[k]) - expected[k]));
        EXPECT_LT(worst, 1e-9 * std::sqrt(static_cast<double>(n))) << "order " << order;
    }
}

TEST(Fft, FullSizeTonesLandInTheirBins) {
    const int order = 19;
    const size_t n = size_t{1} << order;
    std::vector<double> re(n), im(n, 0.0);
    // A cosine at bin 1000 and a sine at bin 123457: real input gives conjugate pairs.
    for (size_t t = 0; t < n; ++t) {
        const double a = 2.0 * std::numbers::pi * static_cast<double>(t) / static_cast<double>(n);
        re[t] = std::cos(a * 1000) + 0.5 * std::sin(a * 123457);
    }
    ASSERT_TRUE(Fft(re.data(), im.data(), order));
    const double half = n / 2.0;
    EXPECT_NEAR(re[1000], half, 1e-6);
    EXPECT_NEAR(re[n - 1000], half, 1e-6);
    EXPECT_NEAR(im[123457], -0.5 * half, 1e-6);
    EXPECT_NEAR(im[n - 123457], 0.5 * half, 1e-6);
    double leak = 0;
    for (size_t k = 0; k < n; ++k)
        if (k != 1000 && k != n - 1000 && k != 123457 && k != n - 123457)
            leak = std::max(leak, std::hypot(re[k], im[k]));
    EXPECT_LT(leak, 1e-6);
}

TEST(Fft, ReportsTablesThatCannotBeAllocated) {
    std::vector<double> re(1 << 14, 1.0), im(1 << 14, 0.0), outRe(1 << 14), outIm(1 << 14);
    const auto previous = SetDoubleArrayAllocator([](std::size_t) -> double* { return nullptr; });
    EXPECT_FALSE(FftOutOfPlace(re.data(), im.data(), outRe.data(), outIm.data(), 14));
    EXPECT_FALSE(Fft(re.data(), im.data(), 4));
    SetDoubleArrayAllocator(previous);
    EXPECT_FALSE(Fft(nullptr, im.data(), 4));
    EXPECT_FALSE(Fft(re.data(), im.data(), 31));
}
