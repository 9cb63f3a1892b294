#pragma once
// Four floats worked on at once with SSE2. Each lane rounds exactly as the same operation
// on one float (or, for the powers, one double) does: there is no fused, approximate or
// reordered operation here, so a result does not depend on whether it was worked out
// alone or four at a time.

#if !defined(__SSE2__)
#error "The swarm's four-lane arithmetic needs SSE2."
#endif

#include <emmintrin.h>

#include <cstdint>

// Which lanes a comparison held for.
struct LaneMask {
  __m128 v;
  static LaneMask none() { return {_mm_setzero_ps()}; }
  friend LaneMask operator&(LaneMask a, LaneMask b) { return {_mm_and_ps(a.v, b.v)}; }
  friend LaneMask operator|(LaneMask a, LaneMask b) { return {_mm_or_ps(a.v, b.v)}; }
  // Bit j for lane j.
  unsigned bits() const { return static_cast<unsigned>(_mm_movemask_ps(v)); }
};

struct Lanes {
  static constexpr int kWidth = 4;
  __m128 v;
  static Lanes load(const float* p) { return {_mm_loadu_ps(p)}; }
  static Lanes all(float f) { return {_mm_set1_ps(f)}; }
  static Lanes of(float a, float b, float c, float d) { return {_mm_setr_ps(a, b, c, d)}; }
  void store(float* p) const { _mm_storeu_ps(p, v); }
  friend Lanes operator+(Lanes a, Lanes b) { return {_mm_add_ps(a.v, b.v)}; }
  friend Lanes operator-(Lanes a, Lanes b) { return {_mm_sub_ps(a.v, b.v)}; }
  friend Lanes operator*(Lanes a, Lanes b) { return {_mm_mul_ps(a.v, b.v)}; }
  friend Lanes operator/(Lanes a, Lanes b) { return {_mm_div_ps(a.v, b.v)}; }
  friend Lanes sqrt(Lanes a) { return {_mm_sqrt_ps(a.v)}; }
  friend LaneMask operator<(Lanes a, Lanes b) { return {_mm_cmplt_ps(a.v, b.v)}; }
  friend LaneMask operator>(Lanes a, Lanes b) { return {_mm_cmpgt_ps(a.v, b.v)}; }
  friend LaneMask operator==(Lanes a, Lanes b) { return {_mm_cmpeq_ps(a.v, b.v)}; }
};

// Four 32-bit integers, compared lane by lane.
struct IntLanes {
  __m128i v;
  static IntLanes load(const int32_t* p) {
    return {_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))};
  }
  static IntLanes all(int32_t i) { return {_mm_set1_epi32(i)}; }
  static IntLanes of(int32_t a, int32_t b, int32_t c, int32_t d) {
    return {_mm_setr_epi32(a, b, c, d)};
  }
  // The same 128 bits seen as floats, and back.
  Lanes as_float_bits() const { return {_mm_castsi128_ps(v)}; }
  static IntLanes bits_of(Lanes f) { return {_mm_castps_si128(f.v)}; }
  friend IntLanes operator+(IntLanes a, IntLanes b) { return {_mm_add_epi32(a.v, b.v)}; }
  friend LaneMask operator<(IntLanes a, IntLanes b) {
    return {_mm_castsi128_ps(_mm_cmplt_epi32(a.v, b.v))};
  }
  friend LaneMask operator==(IntLanes a, IntLanes b) {
    return {_mm_castsi128_ps(_mm_cmpeq_epi32(a.v, b.v))};
  }
};

// `then` where the mask holds, `otherwise` elsewhere, bit for bit.
inline Lanes pick(LaneMask mask, Lanes then, Lanes otherwise) {
  return {_mm_or_ps(_mm_and_ps(mask.v, then.v), _mm_andnot_ps(mask.v, otherwise.v))};
}

// q³ and q⁴ as cube and fourth_power work them out: in double, rounded once to float.
inline Lanes cube(Lanes q) {
  const __m128d low = _mm_cvtps_pd(q.v);
  const __m128d high = _mm_cvtps_pd(_mm_movehl_ps(q.v, q.v));
  const __m128d low3 = _mm_mul_pd(_mm_mul_pd(low, low), low);
  const __m128d high3 = _mm_mul_pd(_mm_mul_pd(high, high), high);
  return {_mm_movelh_ps(_mm_cvtpd_ps(low3), _mm_cvtpd_ps(high3))};
}
inline Lanes fourth_power(Lanes q) {
  const __m128d low = _mm_cvtps_pd(q.v);
  const __m128d high = _mm_cvtps_pd(_mm_movehl_ps(q.v, q.v));
  const __m128d low2 = _mm_mul_pd(low, low);
  const __m128d high2 = _mm_mul_pd(high, high);
  return {
      _mm_movelh_ps(_mm_cvtpd_ps(_mm_mul_pd(low2, low2)), _mm_cvtpd_ps(_mm_mul_pd(high2, high2)))};
}

// Turns four rows of four floats (one per lane) into four columns.
inline void transpose(Lanes& a, Lanes& b, Lanes& c, Lanes& d) {
  _MM_TRANSPOSE4_PS(a.v, b.v, c.v, d.v);
}

// The first two columns of four rows.
inline void first_columns(Lanes a, Lanes b, Lanes c, Lanes d, Lanes& first, Lanes& second) {
  const __m128 ab = _mm_unpacklo_ps(a.v, b.v), cd = _mm_unpacklo_ps(c.v, d.v);
  first = {_mm_movelh_ps(ab, cd)};
  second = {_mm_movehl_ps(cd, ab)};
}

// The offsets ex and ey of each lane's near neighbour, from four rows that start with
// them.
inline void offsets(const float* const* near, Lanes& ex, Lanes& ey) {
  first_columns(Lanes::load(near[0]), Lanes::load(near[1]), Lanes::load(near[2]),
                Lanes::load(near[3]), ex, ey);
}

// The fields of each lane's neighbour record: vx, vy, friction, size, nvx, nvy and (only
// with kItems) the item.
template <bool kItems>
void record_columns(const float* const* record, Lanes& vx, Lanes& vy, Lanes& friction, Lanes& size,
                    Lanes& nvx, Lanes& nvy, Lanes& item) {
  vx = Lanes::load(record[0]);
  vy = Lanes::load(record[1]);
  friction = Lanes::load(record[2]);
  size = Lanes::load(record[3]);
  transpose(vx, vy, friction, size);
  nvx = Lanes::load(record[0] + 4);
  nvy = Lanes::load(record[1] + 4);
  item = Lanes::load(record[2] + 4);
  Lanes rest = Lanes::load(record[3] + 4);
  if constexpr (kItems) {
    transpose(nvx, nvy, item, rest);
  } else {
    first_columns(nvx, nvy, item, rest, nvx, nvy);
  }
}
