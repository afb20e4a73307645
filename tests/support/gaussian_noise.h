#pragma once

#include <cstddef>
#include <random>
#include <vector>

// `n` samples of white noise, normally distributed around 0 with the given deviation; the same
// samples for the same seed.
inline std::vector<double> GaussianNoise(std::size_t n, unsigned seed, double deviation) {
    std::mt19937 random(seed);
    std::normal_distribution<double> d(0.0, deviation);
    std::vector<double> v(n);
    for (double& x : v)
        x = d(random);
    return v;
}
