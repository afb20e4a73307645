#pragma once

// The yardstick of compositing a whole surface: pixman's OVER of one premultiplied a8r8g8b8 image
// onto another of the same size, once per benchmark iteration.

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>

inline void TimePixmanOver(benchmark::State& state, std::uint32_t* src, std::uint32_t* dst, int width,
                           int height) {
    pixman_image_t* s = pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, src, width * 4);
    pixman_image_t* d = pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, dst, width * 4);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, d, 0, 0, 0, 0, 0, 0, width, height);
        benchmark::DoNotOptimize(dst);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(s);
    pixman_image_unref(d);
}
