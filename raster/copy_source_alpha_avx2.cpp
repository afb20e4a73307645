#include "raster/copy_source_alpha.h"

#include <immintrin.h>

namespace rast {

// The four-pixel SSE2 form eight pixels at a time; the unpacks and packs work within each 128-bit
// half, so every pixel meets the same arithmetic as there.
int BlendEights(RAST_Pixel* dst, const RAST_Pixel* src, int count, int a) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i one = _mm256_set1_epi32(1), full = _mm256_set1_epi32(256), opaque = _mm256_set1_epi32(255);
    const __m256i weight = _mm256_set1_epi32(a);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        const __m256i sa = _mm256_srli_epi32(s, 24);
        const __m256i transparent = _mm256_cmpeq_epi32(sa, zero);
        if (_mm256_movemask_epi8(transparent) == -1) continue;
        if (a == 256 && _mm256_movemask_epi8(_mm256_cmpeq_epi32(sa, opaque)) == -1) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), s);
            continue;
        }
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));

        __m256i add, keep;
        if (a == 256) {
            add = sa;
            keep = _mm256_sub_epi32(opaque, sa);
        } else {
            add = _mm256_srli_epi32(_mm256_mullo_epi16(_mm256_add_epi32(sa, one), weight), 8);
            keep = _mm256_sub_epi32(full, add);
        }
        const __m256i keep2 = _mm256_or_si256(keep, _mm256_slli_epi32(keep, 16));
        const __m256i keepLo = _mm256_unpacklo_epi32(keep2, keep2),
                      keepHi = _mm256_unpackhi_epi32(keep2, keep2);

        const __m256i diff = _mm256_or_si256(_mm256_subs_epu8(s, d), _mm256_subs_epu8(d, s));
        const __m256i qLo =
            _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(diff, zero), keepLo), 8);
        const __m256i qHi =
            _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(diff, zero), keepHi), 8);
        const __m256i q = _mm256_packus_epi16(qLo, qHi);
        const __m256i up = _mm256_cmpeq_epi8(_mm256_max_epu8(d, s), d);
        const __m256i colour = _mm256_blendv_epi8(_mm256_subs_epu8(s, q), _mm256_adds_epu8(s, q), up);
        const __m256i alpha = _mm256_adds_epu8(_mm256_slli_epi32(add, 24), _mm256_and_si256(d, alphaMask));
        const __m256i out = _mm256_or_si256(_mm256_andnot_si256(alphaMask, colour), alpha);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_blendv_epi8(out, d, transparent));
    }
    return i;
}

} // namespace rast
