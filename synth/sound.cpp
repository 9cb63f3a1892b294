#include "synth/sound.h"

#include <algorithm>

FloatTable::FloatTable(int rows, int columns)
    : rows_(std::max(rows, 0)),
      columns_(std::max(columns, 0)),
      cells_(size_t(rows_) * size_t(columns_), 0.0f) {}

std::shared_ptr<Sound> Sound::Create(int32_t length, int32_t hertz, int32_t waveform, int note) {
  auto sound = std::make_shared<Sound>();
  sound->length = length;
  sound->hertz = hertz;
  sound->waveform = waveform;
  sound->note = static_cast<uint8_t>(note & 0xFF);
  sound->vib_table = FloatTable(kEnvelopeCount, length);
  sound->sample = TAudioSample::Create(length, hertz, kSampleFormatMono16);
  return sound;
}

void Sound::CreateMarkers(Sound& sound) {
  // A flat envelope per kind: full volume, unchanged pitch, open filter, no resonance,
  // neutral phase effect, plain waveform.
  constexpr std::array<float, kEnvelopeCount> kFlatValues = {1.0f, 1.0f, 1.0f, 0.0f, 1.0f, 0.0f};
  for (int k = 0; k < kEnvelopeCount; ++k) {
    MarkerList& list = sound.envelope_list(k);
    if (list.Count() > 0) continue;
    sound.current_marker(k) = markers::Create(list, 0, kFlatValues[k], 0);
  }
}

void Sound::NewLength(Sound& sound, int32_t n) {
  sound.length = n;
  sound.vib_table = FloatTable(kEnvelopeCount, n);
  sound.sample = TAudioSample::Create(n, sound.hertz, kSampleFormatMono16);
}

MarkerList& Sound::envelope_list(int k) {
  switch (k) {
    case kEnvVol:
      return volList;
    case kEnvPitch:
      return pitchList;
    case kEnvLowp:
      return lowpList;
    case kEnvReso:
      return resoList;
    case kEnvPhaz:
      return phazList;
    default:
      return pulsList;
  }
}

std::shared_ptr<markers>& Sound::current_marker(int k) {
  switch (k) {
    case kEnvVol:
      return vol;
    case kEnvPitch:
      return pitch;
    case kEnvLowp:
      return lowp;
    case kEnvReso:
      return reso;
    case kEnvPhaz:
      return phaz;
    default:
      return puls;
  }
}
