// Sound::fill: renders a sound's envelopes through oscillator, phase effect, filter and
// mix into its 16-bit sample, then runs the whole-buffer passes (reverse filter, echo,
// edge fades).

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "synth/dsp_math.h"
#include "synth/envelope.h"
#include "synth/filters.h"
#include "synth/oscillators.h"
#include "synth/phaser.h"
#include "synth/sound.h"

namespace {

// Frames computed before frame 0 so that oscillators, effects and filters have settled.
constexpr int32_t kPreRollFrames = 400;
constexpr int kCombSize = 512;  // a power of two: ring indices are the low 9 bits
constexpr int kFadeFrames = 21;

enum Phaze { kPhazeComb = 1, kPhazePhaser = 2 };
enum MixType { kMixAverage, kMixMultiply, kMixSubtract, kMixDivide, kMixPhase, kMixPulse };

struct FilterStates {
  float s0 = 0.0f, s1 = 0.0f, s2 = 0.0f, s3 = 0.0f, s4 = 0.0f;
};

// Runs the filter kind of a sound on x; the vowel filter takes its position from the
// cutoff.
void ApplyFilter(uint8_t filtertype, float& x, FilterStates& f, float cutoff, float reso,
                 std::array<double, 10>& memory, const FormantTable& table) {
  switch (filtertype) {
    case 0:
      lowpass_filter(x, f.s0, f.s1, f.s2, f.s3, f.s4, cutoff, reso);
      break;
    case 1:
      ladder_filter(x, f.s0, f.s1, f.s2, f.s3, f.s4, cutoff, reso, kLowPass);
      break;
    case 2:
      cascade_filter(x, f.s0, f.s1, f.s2, f.s3, f.s4, cutoff, reso, kLowPass);
      break;
    case 3:
      atan_filter(x, f.s0, f.s1, f.s2, f.s3, f.s4, cutoff, reso, kLowPass);
      break;
    case 4:
      x = Sound::formant_filter(x, cutoff * 4.0f, memory, table);
      break;
    case 5:
      ladder_filter(x, f.s0, f.s1, f.s2, f.s3, f.s4, cutoff, reso, kBandPass);
      break;
    case 6:
      ladder_filter(x, f.s0, f.s1, f.s2, f.s3, f.s4, cutoff, reso, kHighPass);
      break;
    case 7:
      cascade_filter(x, f.s0, f.s1, f.s2, f.s3, f.s4, cutoff, reso, kBandPass);
      break;
    case 8:
      cascade_filter(x, f.s0, f.s1, f.s2, f.s3, f.s4, cutoff, reso, kHighPass);
      break;
    case 9:
      atan_filter(x, f.s0, f.s1, f.s2, f.s3, f.s4, cutoff, reso, kBandPass);
      break;
    case 10:
      atan_filter(x, f.s0, f.s1, f.s2, f.s3, f.s4, cutoff, reso, kHighPass);
      break;
    default:
      break;
  }
}

// Links each marker to its neighbours; the ends point at themselves. Returns the first.
markers* LinkMarkers(MarkerList& list) {
  markers* first = list.FirstLink().Value().get();
  markers* previous = nullptr;
  for (auto link : list) {
    markers* marker = link.Value().get();
    marker->prev_marker = previous ? previous : marker;
    if (previous) previous->next_marker = marker;
    previous = marker;
  }
  previous->next_marker = previous;
  return first;
}

struct EnvelopeCursor {
  markers* current = nullptr;
  MarkerList* list = nullptr;
  float vibpos = 0.0f;
  float vibvel = 0.01f;
};

// The mixed-in sound's frames, when there is one to mix.
struct MixSource {
  bool present = false;
  const int16_t* frames = nullptr;
  int32_t length = 0;
  explicit operator bool() const { return present; }
};

MixSource FindMixSource(const Sound& sound) {
  if (!sound.mixflag || !sound.mixsnd || !sound.mixsnd->sample) return {};
  const Sound& mix = *sound.mixsnd;
  return {true, mix.sample->frames(), std::clamp(mix.length, 0, mix.sample->length())};
}

float MixIn(uint8_t mixtyp, float out, float mixval) {
  switch (mixtyp) {
    case kMixAverage:
      return (out + mixval) * 0.5f;
    case kMixMultiply:
      return out * mixval;
    case kMixSubtract:
      return out - mixval;
    case kMixDivide:
      return out / mixval;
    default:
      return out;
  }
}

// A short delay line averaged with the dry value; the delay follows the phaz envelope.
struct Comb {
  std::array<float, kCombSize> ring{};
  uint32_t write = 0;

  float Process(float out, float phaz) {
    const int32_t d = dsp::TruncToInt(-phaz * 100.0f);
    ring[write] = out;
    const uint32_t read = (write - uint32_t(d) + (kCombSize - 1)) & (kCombSize - 1);
    out = (out + ring[read]) * 0.5f;
    write = (write + 1) & (kCombSize - 1);
    return out;
  }
};

// Reverse pass of a bipolar sound: the filter once more, from the last frame to the
// first, with the cutoff and resonance the main pass recorded.
void ReverseFilterPass(Sound& sound, int32_t frames, const FormantTable& table) {
  FilterStates states;
  int16_t* samples = sound.sample->frames();
  for (int32_t i = 0; i < frames; ++i) {
    const int32_t idx = frames - 1 - i;
    float x = dsp::FrameToValue(samples[idx]);
    const float cutoff = sound.vib_table.at(kEnvLowp, idx);
    const float reso = sound.vib_table.at(kEnvReso, idx) * 5.0f;
    ApplyFilter(sound.filtertype, x, states, cutoff, reso, sound.memory, table);
    samples[idx] = dsp::ValueToFrame(dsp::Clamp(x));
  }
}

// y[i] = x[i] + decay × y[i - interval] for i beyond the interval, feeding back the
// unclamped sum.
void EchoPass(Sound& sound, int32_t frames) {
  const int32_t interval = sound.FX_DELAY_interval;
  if (interval < 1) return;
  // Slots at or beyond the last frame are never written, so the buffer need not be
  // longer than the sound.
  std::vector<float> buffer(size_t(std::min(interval, frames)), 0.0f);
  int16_t* samples = sound.sample->frames();
  float prev = 0.0f;
  for (int32_t i = 0; i < frames; ++i) {
    float x = dsp::FrameToValue(samples[i]);
    buffer[size_t(i % interval)] = prev * sound.FX_DELAY_decay;
    if (i > interval) x = x + buffer[size_t((i - (interval - 1)) % interval)];
    prev = x;
    samples[i] = dsp::ValueToFrame(dsp::Clamp(x));
  }
}

// Fades both ends in over 21 frames to avoid clicks; frames outside a short sound are
// skipped.
void EdgeFades(Sound& sound, int32_t frames) {
  int16_t* samples = sound.sample->frames();
  for (int32_t i = 0; i < kFadeFrames; ++i) {
    const float g = float(1 - dsp::Squared(1 - 0.05f * float(i)));
    const int32_t tail = frames - 1 - i;
    if (tail >= 0) samples[tail] = dsp::ValueToFrame(dsp::FrameToValue(samples[tail]) * g);
    if (i < frames) samples[i] = dsp::ValueToFrame(dsp::FrameToValue(samples[i]) * g);
  }
}

}  // namespace

int Sound::fill(const FormantTable& table) {
  const int32_t frames = std::max(length, 0);
  // Keep the buffers in step with the length, and every envelope non-empty, whatever
  // the caller did to the fields since creation.
  if (!sample || sample->length() != frames || vib_table.rows() != kEnvelopeCount ||
      vib_table.columns() != frames) {
    NewLength(*this, length);
  }
  CreateMarkers(*this);

  memory.fill(0.0);
  std::array<EnvelopeCursor, kEnvelopeCount> envelopes;
  for (int k = 0; k < kEnvelopeCount; ++k) {
    envelopes[k].list = &envelope_list(k);
    envelopes[k].current = LinkMarkers(*envelopes[k].list);
  }
  Comb comb;
  FilterStates states;
  float phase = 0.0f;
  Phaser phaser = Phaser::Create();
  phaser.init();
  phaser._depth = phaser_depth;
  phaser._fb = phaser_feedback;
  phaser._delay_count = phaser_delaycount;
  OscillatorState oscillator_state;
  const MixSource mix = FindMixSource(*this);
  int16_t* samples = sample->frames();

  for (int32_t j = -kPreRollFrames; j < frames; ++j) {
    float mixval = 0.0f;
    if (mix && j >= 0 && j < mix.length) mixval = dsp::FrameToValue(mix.frames[j]);
    std::array<float, kEnvelopeCount> value;
    for (int k = 0; k < kEnvelopeCount; ++k) {
      EnvelopeCursor& e = envelopes[k];
      e.current = envelope_step(value[k], j, e.current, *e.list, e.vibpos, e.vibvel);
      if (j >= 0) vib_table.at(k, j) = value[k];
    }
    const float vol = value[kEnvVol];
    const float pitch_value = value[kEnvPitch];
    const float cutoff = value[kEnvLowp];
    const float reso_value = value[kEnvReso] * 5.0f;
    const float phaz_value = value[kEnvPhaz];
    OscillatorInput in;
    in.phase = phase;
    in.pitch = pitch_value;
    in.puls = value[kEnvPuls];
    in.P = float(std::pow(double(value[kEnvPuls]), 3.0) * 5.0f);
    if (mixtyp == kMixPhase) in.sine_phase_factor = mixval;
    if (mixtyp == kMixPulse) in.P = in.P * mixval;

    float out = oscillator(waveform, oscillator_state, in);
    phase = phase + pitch_value;
    if (phaze == kPhazeComb) {
      out = comb.Process(out, phaz_value);
    } else if (phaze == kPhazePhaser) {
      out = phaser.Update(out, phaz_value);
    }
    ApplyFilter(filtertype, out, states, cutoff, reso_value, memory, table);
    if (mix && j < mix.length) out = MixIn(mixtyp, out, mixval);
    out = dsp::Clamp(out * vol);
    if (j >= 0) samples[j] = dsp::ValueToFrame(out);
  }

  memory.fill(0.0);
  if (bipolar) ReverseFilterPass(*this, frames, table);
  if (FX_DELAY) EchoPass(*this, frames);
  EdgeFades(*this, frames);
  return 0;
}
