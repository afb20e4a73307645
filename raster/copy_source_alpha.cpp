#include "raster/copy_source_alpha.h"
#include "platform/vector_paths.h"
#include "raster/pixel_ops.h"

#include <algorithm>
#include <atomic>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rast {

namespace {

std::atomic<VectorPath> lastPath{VectorPath::None};

// Once per row: written only when it changes.
void Record(VectorPath path) {
    if (lastPath.load(std::memory_order_relaxed) != path) lastPath.store(path, std::memory_order_relaxed);
}

// At full alpha the source keeps 255 - Sa of the destination and adds Sa to its alpha; below it,
// w = a * (Sa + 1) / 256 and the destination keeps 256 - w.
inline RAST_Pixel Blend(RAST_Pixel d, RAST_Pixel s, int a) {
    const int sa = Ch(s, 3);
    if (sa == 0) return d;
    if (a == 256 && sa == 255) return s;
    const int add = a == 256 ? sa : a * (sa + 1) / 256;
    const int keep = a == 256 ? 255 - sa : 256 - add;
    int out[3];
    for (int c = 0; c < 3; ++c)
        out[c] = Ch(s, c) + (Ch(d, c) - Ch(s, c)) * keep / 256;
    return Pack(out[0], out[1], out[2], std::min(255, add + Ch(d, 3)));
}

#if defined(__SSE2__)
// Four pixels at a time. S + trunc((D - S) * keep / 256) is S + q when D >= S and S - q otherwise,
// with q = |D - S| * keep >> 8, which fits 16 bits: no signed arithmetic is needed.
int BlendFours(RAST_Pixel* dst, const RAST_Pixel* src, int count, int a) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i one = _mm_set1_epi32(1), full = _mm_set1_epi32(256), opaque = _mm_set1_epi32(255);
    const __m128i weight = _mm_set1_epi32(a);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i sa = _mm_srli_epi32(s, 24);
        const __m128i transparent = _mm_cmpeq_epi32(sa, zero);
        if (_mm_movemask_epi8(transparent) == 0xFFFF) continue;
        if (a == 256 && _mm_movemask_epi8(_mm_cmpeq_epi32(sa, opaque)) == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), s);
            continue;
        }
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));

        __m128i add, keep;
        if (a == 256) {
            add = sa;
            keep = _mm_sub_epi32(opaque, sa);
        } else {
            add = _mm_srli_epi32(_mm_mullo_epi16(_mm_add_epi32(sa, one), weight), 8);
            keep = _mm_sub_epi32(full, add);
        }
        const __m128i keep2 = _mm_or_si128(keep, _mm_slli_epi32(keep, 16));
        const __m128i keepLo = _mm_unpacklo_epi32(keep2, keep2), keepHi = _mm_unpackhi_epi32(keep2, keep2);

        const __m128i diff = _mm_or_si128(_mm_subs_epu8(s, d), _mm_subs_epu8(d, s));
        const __m128i qLo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(diff, zero), keepLo), 8);
        const __m128i qHi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(diff, zero), keepHi), 8);
        const __m128i q = _mm_packus_epi16(qLo, qHi);
        const __m128i up = _mm_cmpeq_epi8(_mm_max_epu8(d, s), d);
        const __m128i colour =
            _mm_or_si128(_mm_and_si128(up, _mm_adds_epu8(s, q)), _mm_andnot_si128(up, _mm_subs_epu8(s, q)));
        const __m128i alpha = _mm_adds_epu8(_mm_slli_epi32(add, 24), _mm_and_si128(d, alphaMask));
        __m128i out = _mm_or_si128(_mm_andnot_si128(alphaMask, colour), alpha);
        out = _mm_or_si128(_mm_and_si128(transparent, d), _mm_andnot_si128(transparent, out));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), out);
    }
    return i;
}
#endif

} // namespace

VectorPath LastSourceAlphaPath() {
    return lastPath.load(std::memory_order_relaxed);
}

void CopyRowWithSourceAlpha(RAST_Pixel* dst, const RAST_Pixel* src, int count, int a) {
    int i = 0;
    VectorPath path = VectorPath::Baseline;
#if defined(TV_RASTER_WIDE_VECTORS)
    if (WideVectorPathsEnabled()) {
        path = VectorPath::Wide;
        i = BlendEights(dst, src, count, a);
    }
#endif
    Record(path);
#if defined(__SSE2__)
    i += BlendFours(dst + i, src + i, count - i, a);
#endif
    for (; i < count; ++i)
        dst[i] = Blend(dst[i], src[i], a);
}

} // namespace rast
