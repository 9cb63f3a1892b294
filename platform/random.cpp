#include "platform/random.h"

namespace {
constexpr int32_t kModulus = 2147483647;
constexpr int32_t kMultiplier = 48271;
constexpr int32_t kQuotient = 44488;  // kModulus div kMultiplier
constexpr int32_t kRemainder = 3399;  // kModulus mod kMultiplier
}  // namespace

void Random::SeedRandom(int32_t seed) {
  state_ = static_cast<int32_t>(static_cast<uint32_t>(seed) & 0x7fffffffu);
  if (state_ == 0 || state_ == kModulus) state_ = kInitialState;
}

int32_t Random::Step() {
  state_ = (state_ % kQuotient) * kMultiplier - (state_ / kQuotient) * kRemainder;
  if (state_ < 0) state_ += kModulus;
  return state_;
}

double Random::RandomUnit() {
  const int32_t s1 = Step();
  const int32_t s2 = Step();
  return ((s1 & 536870908) + (s2 & 536870904) / 134217728.0) / 536870912.0;
}

double Random::RandomRange(double a, double b) {
  if (b > a) return a + RandomUnit() * (b - a);
  return b + RandomUnit() * (a - b);
}

int32_t Random::RandomIntRange(int32_t a, int32_t b) {
  // Widened so that the span of extreme bounds cannot overflow.
  const int64_t d = int64_t{b} - a;
  if (d > 0) return static_cast<int32_t>(a + static_cast<int64_t>(RandomUnit() * (d + 1)));
  return static_cast<int32_t>(b + static_cast<int64_t>(RandomUnit() * (1 - d)));
}
