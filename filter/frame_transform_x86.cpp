// The SIMD kernels of the frame transform: sixteen pixels (48 bytes, three registers) a
// step. The levels and cube indices of all sixteen are computed at once; then each cell
// is read on its own: the 4096-cell cube sits in the L1 cache, where single loads beat a
// gather (and a table of all 2^24 colours would miss the cache on nearly every pixel).
//
// SSE2 is the baseline of the Windows build; the SSSE3 kernel is compiled for that target
// alone and only called on a CPU that reports it. Every kernel realigns the stack on entry
// (force_align_arg_pointer): 32-bit Windows keeps the stack only 4-byte aligned, for
// example when it calls a window procedure, and the kernels keep 16-byte values on the
// stack. The attribute makes that hold whatever the compiler would assume by default.

#include "filter/frame_transform_kernels.h"

#if defined(PL_HAVE_X86_KERNELS)

#include <cstring>

#include <emmintrin.h>
#include <tmmintrin.h>

#define PL_KERNEL_ENTRY __attribute__((force_align_arg_pointer))
#define PL_SSSE3 __attribute__((target("ssse3")))

namespace {

// Cube indices red * 256 + green * 16 + blue from three registers of levels, one pixel per
// 16-bit lane.
inline __m128i CombineLevels(__m128i blue, __m128i green, __m128i red)
{
    return _mm_add_epi16(_mm_add_epi16(blue, _mm_slli_epi16(green, 4)), _mm_slli_epi16(red, 8));
}

// The two 16-bit lanes 2 * Pair and 2 * Pair + 1 as one 32-bit value. One movd for two
// indices measured faster than a pextrw for each, and than storing the register and
// loading the indices back (the loads wait for the store).
template <int Pair>
inline uint32_t LanePair(__m128i indices)
{
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(indices, Pair)));
}

// Each cell goes out as one 32-bit store whose zero top byte lands on the next pixel's
// first byte, so the stores must be made in pixel order, each overwriting that byte; the
// kernels leave at least one pixel after a block for the last one.
inline void PutPixel(const uint32_t* cube, uint32_t index, uint8_t* out)
{
    const uint32_t cell = cube[index];
    std::memcpy(out, &cell, sizeof cell);
}

// Two consecutive pixels whose indices are the low and high halves of `indices`.
inline void PutTwoPixels(const uint32_t* cube, uint32_t indices, uint8_t* out)
{
    PutPixel(cube, indices & 0xFFFF, out);
    PutPixel(cube, indices >> 16, out + 3);
}

// Four consecutive pixels: the halves of `even` index pixels 0 and 2, of `odd` 1 and 3.
inline void PutFourPixels(const uint32_t* cube, uint32_t even, uint32_t odd, uint8_t* out)
{
    PutPixel(cube, even & 0xFFFF, out);
    PutPixel(cube, odd & 0xFFFF, out + 3);
    PutPixel(cube, even >> 16, out + 6);
    PutPixel(cube, odd >> 16, out + 9);
}

}  // namespace

// --- SSE2 -----------------------------------------------------------------------------

namespace {

// ColorLevel for eight channel values in 16-bit lanes: ((v + 8) * 3856) >> 16 equals
// (3v + 25) / 51 for every byte v.
inline __m128i LevelsSse2(__m128i values)
{
    return _mm_mulhi_epu16(_mm_add_epi16(values, _mm_set1_epi16(8)), _mm_set1_epi16(3856));
}

}  // namespace

PL_KERNEL_ENTRY void FilterPixelsSse2(const uint32_t* __restrict cube,
                                      const uint8_t* __restrict in, uint8_t* __restrict out,
                                      size_t pixels)
{
    const __m128i zero = _mm_setzero_si128();
    size_t x = 0;
    for (; x + 16 < pixels; x += 16, in += 48, out += 48) {
        __m128i t0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
        __m128i t1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16));
        __m128i t2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 32));
        // Byte n of the block is channel n % 3 of pixel n / 3. Three rounds of interleaving
        // the low half of one register with the high half of another sort the bytes into
        // the blue, green and red of the even pixels and then of the odd ones, eight of
        // each in pixel order; a fourth round would merge even and odd, which costs more
        // than it saves.
        for (int round = 0; round < 3; ++round) {
            const __m128i u0 = _mm_unpacklo_epi8(t0, _mm_unpackhi_epi64(t1, t1));
            const __m128i u1 = _mm_unpacklo_epi8(_mm_unpackhi_epi64(t0, t0), t2);
            const __m128i u2 = _mm_unpacklo_epi8(t1, _mm_unpackhi_epi64(t2, t2));
            t0 = u0;
            t1 = u1;
            t2 = u2;
        }
        const __m128i even = CombineLevels(LevelsSse2(_mm_unpacklo_epi8(t0, zero)),
                                           LevelsSse2(_mm_unpackhi_epi8(t0, zero)),
                                           LevelsSse2(_mm_unpacklo_epi8(t1, zero)));
        const __m128i odd = CombineLevels(LevelsSse2(_mm_unpackhi_epi8(t1, zero)),
                                          LevelsSse2(_mm_unpacklo_epi8(t2, zero)),
                                          LevelsSse2(_mm_unpackhi_epi8(t2, zero)));
        PutFourPixels(cube, LanePair<0>(even), LanePair<0>(odd), out);
        PutFourPixels(cube, LanePair<1>(even), LanePair<1>(odd), out + 12);
        PutFourPixels(cube, LanePair<2>(even), LanePair<2>(odd), out + 24);
        PutFourPixels(cube, LanePair<3>(even), LanePair<3>(odd), out + 36);
    }
    FilterPixelsPortable(cube, in, out, pixels - x);
}

// --- SSSE3 ----------------------------------------------------------------------------

namespace {

// A pshufb control: byte n of the result takes source byte `bytes[n]`, or zero when that
// is negative.
struct ShuffleControl {
    alignas(16) signed char bytes[16];
};

// Channel `channel` (0 blue, 1 green, 2 red) of eight pixels of the block, one per 16-bit
// lane, from the register that holds block bytes `base` to `base` + 15; lanes whose byte
// lies elsewhere stay zero.
constexpr ShuffleControl Spread(int first, int channel, int base)
{
    ShuffleControl control{};
    for (int lane = 0; lane < 8; ++lane) {
        const int from = 3 * (first + lane) + channel - base;
        control.bytes[2 * lane] = static_cast<signed char>(from >= 0 && from < 16 ? from : -1);
        control.bytes[2 * lane + 1] = -1;
    }
    return control;
}

// [half][channel][source]: pixels 0-7 lie in block registers 0 and 1, pixels 8-15 in
// registers 1 and 2.
constexpr ShuffleControl kSpread[2][3][2] = {
    {{Spread(0, 0, 0), Spread(0, 0, 16)},
     {Spread(0, 1, 0), Spread(0, 1, 16)},
     {Spread(0, 2, 0), Spread(0, 2, 16)}},
    {{Spread(8, 0, 16), Spread(8, 0, 32)},
     {Spread(8, 1, 16), Spread(8, 1, 32)},
     {Spread(8, 2, 16), Spread(8, 2, 32)}},
};

PL_SSSE3 inline __m128i SpreadChannel(__m128i x, __m128i y, const ShuffleControl (&controls)[2])
{
    return _mm_or_si128(
        _mm_shuffle_epi8(x, _mm_load_si128(reinterpret_cast<const __m128i*>(controls[0].bytes))),
        _mm_shuffle_epi8(y, _mm_load_si128(reinterpret_cast<const __m128i*>(controls[1].bytes))));
}

// ColorLevel for eight channel values in 16-bit lanes, in one rounding multiply:
// (v * 1928 + 16384) >> 15 is v * 1928 / 32768 rounded, which differs from v / 17 by
// under 0.004 for every byte v, while v / 17 lies at least 1/34 from any half.
PL_SSSE3 inline __m128i LevelsSsse3(__m128i values)
{
    return _mm_mulhrs_epi16(values, _mm_set1_epi16(1928));
}

// Cube indices of eight consecutive pixels from the two block registers they lie in.
PL_SSSE3 inline __m128i IndicesSsse3(__m128i x, __m128i y, const ShuffleControl (&spread)[3][2])
{
    return CombineLevels(LevelsSsse3(SpreadChannel(x, y, spread[0])),
                         LevelsSsse3(SpreadChannel(x, y, spread[1])),
                         LevelsSsse3(SpreadChannel(x, y, spread[2])));
}

}  // namespace

PL_KERNEL_ENTRY PL_SSSE3 void FilterPixelsSsse3(const uint32_t* __restrict cube,
                                                const uint8_t* __restrict in,
                                                uint8_t* __restrict out, size_t pixels)
{
    size_t x = 0;
    for (; x + 16 < pixels; x += 16, in += 48, out += 48) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 32));
        const __m128i low = IndicesSsse3(a, b, kSpread[0]);
        const __m128i high = IndicesSsse3(b, c, kSpread[1]);
        PutTwoPixels(cube, LanePair<0>(low), out);
        PutTwoPixels(cube, LanePair<1>(low), out + 6);
        PutTwoPixels(cube, LanePair<2>(low), out + 12);
        PutTwoPixels(cube, LanePair<3>(low), out + 18);
        PutTwoPixels(cube, LanePair<0>(high), out + 24);
        PutTwoPixels(cube, LanePair<1>(high), out + 30);
        PutTwoPixels(cube, LanePair<2>(high), out + 36);
        PutTwoPixels(cube, LanePair<3>(high), out + 42);
    }
    FilterPixelsPortable(cube, in, out, pixels - x);
}

int CpuHasSsse3()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3");
}

#endif
