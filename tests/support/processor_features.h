#pragma once

// What the processor and the operating system offer, asked straight from the processor (CPUID and
// XGETBV), independently of the code under test's own detection: the truth the vector-path tests
// hold the chosen paths against.

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>

inline bool ProcessorRunsAvx2() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
    const bool osSavesYmm = (c & bit_OSXSAVE) != 0;
    if (!osSavesYmm || (c & bit_AVX) == 0) return false;
    unsigned lo = 0, hi = 0;
    __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    if ((lo & 6) != 6) return false; // the system does not keep the YMM registers across switches
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
    return (b & bit_AVX2) != 0;
}
#else
inline bool ProcessorRunsAvx2() {
    return false;
}
#endif
