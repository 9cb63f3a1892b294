// The eight-lane reactions, with AVX. Only what this file defines is compiled for AVX
// (by the target option below, after every shared header, not by a flag for the whole
// file), so no inline function that other files share can come out of here with AVX
// instructions in it; the swarm calls in only where wide_lanes_supported() says the
// processor has AVX.
//
// Each operation rounds every lane as the four-lane SSE2 one does: there is no fused
// multiply-add (the build turns contraction off, and FMA is not enabled here) and the
// powers go through double as before.

#include <immintrin.h>

#include <cstdint>

#include "world/swarm_react.h"

// To the end of the file: templates are instantiated there, after everything else.
#pragma GCC target("avx")

#include "world/lane_reaction.h"

namespace react {
namespace {

// Which lanes a comparison held for.
struct Mask8 {
  __m256 v;
};

// Eight floats.
struct Lanes8 {
  static constexpr int kWidth = 8;
  __m256 v;
  static Lanes8 load(const float* p) { return {_mm256_loadu_ps(p)}; }
  static Lanes8 all(float f) { return {_mm256_set1_ps(f)}; }
  void store(float* p) const { _mm256_storeu_ps(p, v); }
};

// Operators are defined out here rather than as friends in the classes: GCC does not
// give friends defined in a class the target option. Everything is inlined into the
// reaction's loop, where a call would spill the lanes to memory.
[[gnu::always_inline]] inline Mask8 operator|(Mask8 a, Mask8 b) {
  return {_mm256_or_ps(a.v, b.v)};
}
[[gnu::always_inline]] inline Lanes8 operator+(Lanes8 a, Lanes8 b) {
  return {_mm256_add_ps(a.v, b.v)};
}
[[gnu::always_inline]] inline Lanes8 operator-(Lanes8 a, Lanes8 b) {
  return {_mm256_sub_ps(a.v, b.v)};
}
[[gnu::always_inline]] inline Lanes8 operator*(Lanes8 a, Lanes8 b) {
  return {_mm256_mul_ps(a.v, b.v)};
}
[[gnu::always_inline]] inline Lanes8 operator/(Lanes8 a, Lanes8 b) {
  return {_mm256_div_ps(a.v, b.v)};
}
[[gnu::always_inline]] inline Lanes8 sqrt(Lanes8 a) {
  return {_mm256_sqrt_ps(a.v)};
}
// The same masks as SSE2's cmpltps and cmpeqps.
[[gnu::always_inline]] inline Mask8 operator<(Lanes8 a, Lanes8 b) {
  return {_mm256_cmp_ps(a.v, b.v, _CMP_LT_OS)};
}
[[gnu::always_inline]] inline Mask8 operator==(Lanes8 a, Lanes8 b) {
  return {_mm256_cmp_ps(a.v, b.v, _CMP_EQ_OQ)};
}

// `then` where the mask holds, `otherwise` elsewhere, bit for bit. Not with blendvps:
// GCC turns that into a sign test on eight integers, which AVX without AVX2 cannot do
// in one register, and splits it into a branch per lane.
[[gnu::always_inline]] inline Lanes8 pick(Mask8 mask, Lanes8 then, Lanes8 otherwise) {
  return {_mm256_or_ps(_mm256_and_ps(mask.v, then.v), _mm256_andnot_ps(mask.v, otherwise.v))};
}

// Each half of eight floats widened to double, and narrowed back into one.
[[gnu::always_inline]] inline __m256d low_half(Lanes8 q) {
  return _mm256_cvtps_pd(_mm256_castps256_ps128(q.v));
}
[[gnu::always_inline]] inline __m256d high_half(Lanes8 q) {
  return _mm256_cvtps_pd(_mm256_extractf128_ps(q.v, 1));
}
[[gnu::always_inline]] inline Lanes8 narrowed(__m256d low, __m256d high) {
  return {_mm256_set_m128(_mm256_cvtpd_ps(high), _mm256_cvtpd_ps(low))};
}

// q³ and q⁴ as cube and fourth_power work them out: in double, rounded once to float.
[[gnu::always_inline]] inline Lanes8 cube(Lanes8 q) {
  const __m256d low = low_half(q), high = high_half(q);
  return narrowed(_mm256_mul_pd(_mm256_mul_pd(low, low), low),
                  _mm256_mul_pd(_mm256_mul_pd(high, high), high));
}
[[gnu::always_inline]] inline Lanes8 fourth_power(Lanes8 q) {
  const __m256d low = low_half(q), high = high_half(q);
  const __m256d low2 = _mm256_mul_pd(low, low), high2 = _mm256_mul_pd(high, high);
  return narrowed(_mm256_mul_pd(low2, low2), _mm256_mul_pd(high2, high2));
}

// Row j of the four rows holds lane j's four floats in its low half and lane j + 4's in
// its high half.
[[gnu::always_inline]] inline void rows(const float* const* at, int offset, __m256 (&row)[4]) {
  row[0] = _mm256_loadu2_m128(at[4] + offset, at[0] + offset);
  row[1] = _mm256_loadu2_m128(at[5] + offset, at[1] + offset);
  row[2] = _mm256_loadu2_m128(at[6] + offset, at[2] + offset);
  row[3] = _mm256_loadu2_m128(at[7] + offset, at[3] + offset);
}

// The first two columns of four such rows, and the other two.
[[gnu::always_inline]] inline void first_columns(const __m256 (&row)[4], Lanes8& first,
                                                 Lanes8& second) {
  const __m256 ab = _mm256_unpacklo_ps(row[0], row[1]), cd = _mm256_unpacklo_ps(row[2], row[3]);
  first = {_mm256_shuffle_ps(ab, cd, _MM_SHUFFLE(1, 0, 1, 0))};
  second = {_mm256_shuffle_ps(ab, cd, _MM_SHUFFLE(3, 2, 3, 2))};
}
[[gnu::always_inline]] inline void last_columns(const __m256 (&row)[4], Lanes8& third,
                                                Lanes8& fourth) {
  const __m256 ab = _mm256_unpackhi_ps(row[0], row[1]), cd = _mm256_unpackhi_ps(row[2], row[3]);
  third = {_mm256_shuffle_ps(ab, cd, _MM_SHUFFLE(1, 0, 1, 0))};
  fourth = {_mm256_shuffle_ps(ab, cd, _MM_SHUFFLE(3, 2, 3, 2))};
}

[[gnu::always_inline]] inline void offsets(const float* const* near, Lanes8& ex, Lanes8& ey) {
  __m256 row[4];
  rows(near, 0, row);
  first_columns(row, ex, ey);
}

template <bool kItems>
[[gnu::always_inline]] inline void record_columns(const float* const* record, Lanes8& vx,
                                                  Lanes8& vy, Lanes8& friction, Lanes8& size,
                                                  Lanes8& nvx, Lanes8& nvy, Lanes8& item) {
  __m256 row[4];
  rows(record, 0, row);
  first_columns(row, vx, vy);
  last_columns(row, friction, size);
  rows(record, 4, row);
  first_columns(row, nvx, nvy);
  if constexpr (kItems) {
    Lanes8 unused;
    last_columns(row, item, unused);
  }
}

}  // namespace

void in_eight_lanes(const Reaction& reaction) {
  in_lanes<Lanes8>(reaction);
}

}  // namespace react
