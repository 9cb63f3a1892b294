#include "synth/sound_loader.h"

namespace {

constexpr std::string_view kHeaderText = "welkator version ";
constexpr std::string_view kSoundTag = "snd";

bool Refuse(std::string* why, const char* reason) {
  if (why) *why = reason;
  return false;
}

// Bytes of one marker record in a file of the given version.
size_t MarkerRecordSize(uint8_t version) {
  size_t size = 1 + 4 + 4;         // typ, value, position
  if (version > 2) size += 4 + 4;  // vibrato
  if (version > 7) size += 4 + 4;  // curves
  return size;
}

bool ReadHead(TStream& stream, SoundDefinition& definition, std::string* why) {
  if (stream.ReadString(int(kHeaderText.size())) != kHeaderText) {
    return Refuse(why, "not a sound definition (wrong header text)");
  }
  definition.version = stream.ReadByte();
  if (definition.version == 0) return Refuse(why, "invalid version 0");
  if (stream.ReadString(int(kSoundTag.size())) != kSoundTag) {
    return Refuse(why, "not a sound definition (missing \"snd\" tag)");
  }
  definition.note = stream.ReadByte();
  definition.hertz = stream.ReadInt();
  definition.length = stream.ReadInt();
  definition.waveform = stream.ReadInt();
  if (stream.Failed()) return Refuse(why, "file ends inside the header");
  if (definition.hertz <= 0) return Refuse(why, "sample rate is not positive");
  if (definition.length <= 0) return Refuse(why, "length is not positive");
  if (definition.length > kMaxSoundLength) return Refuse(why, "length is too large");
  return true;
}

void ReadSettings(TStream& stream, SoundDefinition& definition) {
  const uint8_t v = definition.version;
  if (v < 5) definition.legacy_resonance = stream.ReadFloat();
  if (v > 5) definition.filtertype = stream.ReadByte();
  definition.bipolar = stream.ReadByte();
  if (v > 1) definition.phaze = stream.ReadByte();
  if (v > 8) {
    definition.phaser_depth = stream.ReadFloat();
    definition.phaser_feedback = stream.ReadFloat();
    definition.phaser_delaycount = stream.ReadInt();
  }
  if (v > 3) {
    definition.FX_DELAY = stream.ReadByte();
    definition.FX_DELAY_interval = stream.ReadInt();
    definition.FX_DELAY_decay = stream.ReadFloat();
  }
}

bool ReadMarkerList(TStream& stream, uint8_t version, std::vector<MarkerRecord>& records,
                    std::string* why) {
  const int32_t count = stream.ReadInt();
  if (stream.Failed()) return Refuse(why, "file ends before an envelope list");
  if (count <= 0) return true;
  // A count the remaining bytes cannot hold would only make us allocate for nothing.
  if (size_t(count) > stream.Remaining() / MarkerRecordSize(version)) {
    return Refuse(why, "envelope list is longer than the file");
  }
  records.resize(size_t(count));
  for (MarkerRecord& record : records) {
    record.typ = stream.ReadByte();
    record.value = stream.ReadFloat();
    record.position = stream.ReadInt();
    if (version > 2) {
      record.vib_amount = stream.ReadFloat();
      record.vib_speed = stream.ReadFloat();
    }
    if (version > 7) {
      record.curve_in = stream.ReadFloat();
      record.curve_out = stream.ReadFloat();
    }
  }
  return true;
}

std::vector<MarkerRecord> SingleMarker(float value) {
  MarkerRecord record;
  record.value = value;
  return {record};
}

bool ReadEnvelopes(TStream& stream, SoundDefinition& definition, std::string* why) {
  const uint8_t v = definition.version;
  auto& envelopes = definition.envelopes;
  for (int k : {kEnvVol, kEnvPitch, kEnvLowp}) {
    if (!ReadMarkerList(stream, v, envelopes[k], why)) return false;
  }
  // Files older than the resonance and phase envelopes get one flat marker each: the
  // single resonance setting they had, and a neutral phase effect.
  if (v > 4) {
    if (!ReadMarkerList(stream, v, envelopes[kEnvReso], why)) return false;
    if (!ReadMarkerList(stream, v, envelopes[kEnvPhaz], why)) return false;
  } else {
    envelopes[kEnvReso] = SingleMarker(definition.legacy_resonance);
    envelopes[kEnvPhaz] = SingleMarker(1.0f);
  }
  if (v > 6) {
    if (!ReadMarkerList(stream, v, envelopes[kEnvPuls], why)) return false;
  } else {
    envelopes[kEnvPuls] = SingleMarker(0.0f);
  }
  return true;
}

}  // namespace

std::optional<SoundDefinition> read_sound_definition(TStream& stream, std::string* why) {
  SoundDefinition definition;
  if (!ReadHead(stream, definition, why)) return std::nullopt;
  ReadSettings(stream, definition);
  if (!ReadEnvelopes(stream, definition, why)) return std::nullopt;
  if (stream.Failed()) {
    Refuse(why, "file ends before the fields its version announces");
    return std::nullopt;
  }
  return definition;
}

std::shared_ptr<Sound> build_sound(const SoundDefinition& definition) {
  auto sound =
      Sound::Create(definition.length, definition.hertz, definition.waveform, definition.note);
  sound->filtertype = definition.filtertype;
  sound->bipolar = definition.bipolar;
  sound->phaze = definition.phaze;
  sound->phaser_depth = definition.phaser_depth;
  sound->phaser_feedback = definition.phaser_feedback;
  sound->phaser_delaycount = definition.phaser_delaycount;
  sound->FX_DELAY = definition.FX_DELAY;
  sound->FX_DELAY_interval = definition.FX_DELAY_interval;
  sound->FX_DELAY_decay = definition.FX_DELAY_decay;
  for (int k = 0; k < kEnvelopeCount; ++k) {
    MarkerList& list = sound->envelope_list(k);
    for (const MarkerRecord& record : definition.envelopes[k]) {
      auto marker = markers::Create(list, record.typ, record.value, record.position);
      marker->vib_amount = record.vib_amount;
      marker->vib_speed = record.vib_speed;
      marker->curve_in = record.curve_in;
      marker->curve_out = record.curve_out;
      sound->current_marker(k) = marker;
    }
    list.Sort(markers::CompareFunc);
  }
  return sound;
}

std::shared_ptr<Sound> try_load_sound_definition(const EmbeddedFiles& files, std::string_view url,
                                                 std::string* why) {
  if (url.empty()) {
    Refuse(why, "empty name");
    return nullptr;
  }
  std::unique_ptr<TStream> stream = OpenReadStream(files, url);
  if (!stream) {
    Refuse(why, "cannot open");
    return nullptr;
  }
  std::optional<SoundDefinition> definition = read_sound_definition(*stream, why);
  stream->Close();
  if (!definition) return nullptr;
  return build_sound(*definition);
}

std::shared_ptr<Sound> load_sound_definition(const EmbeddedFiles& files,
                                             std::shared_ptr<Sound> previous,
                                             std::string_view url) {
  std::shared_ptr<Sound> loaded = try_load_sound_definition(files, url);
  if (!loaded) return previous;
  // The caller drops the previous sound for the new one; its envelopes go with it.
  if (previous && previous != loaded) {
    for (int k = 0; k < kEnvelopeCount; ++k) previous->envelope_list(k).Clear();
  }
  return loaded;
}
