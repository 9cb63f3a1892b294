// velunka-sfx: the sound makers' tool, built on the game's own loader and renderer.
//   velunka-sfx render IN.wkt OUT.wav   renders the definition to a 16-bit mono WAV file
//   velunka-sfx info IN.wkt             prints the settings and the six envelopes

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/stream.h"
#include "synth/formant_table.h"
#include "synth/sound.h"
#include "synth/sound_loader.h"

namespace {

constexpr const char* kUsage =
    "usage: velunka-sfx render IN.wkt OUT.wav\n"
    "       velunka-sfx info IN.wkt\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "velunka-sfx: %s\n", message.c_str());
  return 1;
}

// The shortest decimal that reads back as the same float.
std::string FloatText(float value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

struct LoadedFile {
  SoundDefinition definition;
  std::shared_ptr<Sound> sound;
};

std::optional<LoadedFile> Load(const std::string& path, std::string& why) {
  const EmbeddedFiles no_embedded_files;
  // The tool embeds no files, so every name is read as a file path.
  std::unique_ptr<TStream> stream = OpenReadStream(no_embedded_files, path);
  if (!stream) {
    why = "cannot open " + path;
    return std::nullopt;
  }
  std::optional<SoundDefinition> definition = read_sound_definition(*stream, &why);
  stream->Close();
  if (!definition) {
    why = path + ": " + why;
    return std::nullopt;
  }
  return LoadedFile{*definition, build_sound(*definition)};
}

void PutLe(std::ofstream& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(char((value >> (8 * i)) & 0xFF));
}

bool WriteWav(const std::string& path, const TAudioSample& sample) {
  std::ofstream out(path, std::ios::binary);
  if (!out) return false;
  const uint32_t data_bytes = uint32_t(sample.length()) * 2;
  const uint32_t rate = uint32_t(sample.hertz());
  out.write("RIFF", 4);
  PutLe(out, 36 + data_bytes, 4);
  out.write("WAVEfmt ", 8);
  PutLe(out, 16, 4);  // format chunk size
  PutLe(out, 1, 2);   // PCM
  PutLe(out, 1, 2);   // mono
  PutLe(out, rate, 4);
  PutLe(out, rate * 2, 4);  // bytes per second
  PutLe(out, 2, 2);         // bytes per frame
  PutLe(out, 16, 2);        // bits per sample
  out.write("data", 4);
  PutLe(out, data_bytes, 4);
  const int16_t* frames = sample.frames();
  for (int32_t i = 0; i < sample.length(); ++i) PutLe(out, uint16_t(frames[i]), 2);
  out.close();
  return bool(out);
}

int Render(const std::string& in_path, const std::string& out_path) {
  std::string why;
  std::optional<LoadedFile> loaded = Load(in_path, why);
  if (!loaded) return Fail(why);
  const FormantTable table = BuildFormantTable();
  loaded->sound->fill(table);
  if (!WriteWav(out_path, *loaded->sound->sample)) return Fail("cannot write " + out_path);
  return 0;
}

std::string MarkerText(const markers& m) {
  std::string text = std::to_string(m.position) + ":" + FloatText(m.value);
  std::string extras;
  auto add_text = [&](const char* name, const std::string& value) {
    extras += (extras.empty() ? "" : ", ") + std::string(name) + " " + value;
  };
  auto add = [&](const char* name, float value) { add_text(name, FloatText(value)); };
  if (m.vib_amount != 0.0f) add("vib_amount", m.vib_amount);
  if (m.vib_speed != 0.0f) add("vib_speed", m.vib_speed);
  if (m.curve_in != 1.0f) add("curve_in", m.curve_in);
  if (m.curve_out != -1.0f) add("curve_out", m.curve_out);
  if (m.typ != 0) add_text("typ", std::to_string(m.typ));
  return extras.empty() ? text : text + " (" + extras + ")";
}

int Info(const std::string& in_path) {
  std::string why;
  std::optional<LoadedFile> loaded = Load(in_path, why);
  if (!loaded) return Fail(why);
  Sound& s = *loaded->sound;
  std::printf("version: %d\n", loaded->definition.version);
  std::printf("note: %d\nhertz: %d\nlength: %d\nwaveform: %d\n", s.note, s.hertz, s.length,
              s.waveform);
  std::printf("filtertype: %d\nbipolar: %d\nphaze: %d\n", s.filtertype, s.bipolar, s.phaze);
  std::printf("phaser: depth %s, feedback %s, stages %d\n", FloatText(s.phaser_depth).c_str(),
              FloatText(s.phaser_feedback).c_str(), s.phaser_delaycount);
  std::printf("delay: %s, interval %d, decay %s\n", s.FX_DELAY ? "on" : "off", s.FX_DELAY_interval,
              FloatText(s.FX_DELAY_decay).c_str());
  constexpr const char* kNames[kEnvelopeCount] = {"vol", "pitch", "lowp", "reso", "phaz", "puls"};
  for (int k = 0; k < kEnvelopeCount; ++k) {
    std::string line = std::string(kNames[k]) + ":";
    const char* separator = " ";
    for (auto link : s.envelope_list(k)) {
      line += separator + MarkerText(*link.Value());
      separator = "; ";
    }
    std::printf("%s\n", line.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view command = argc > 1 ? argv[1] : "";
  if (command == "render" && argc == 4) return Render(argv[2], argv[3]);
  if (command == "info" && argc == 3) return Info(argv[2]);
  std::fputs(kUsage, stderr);
  return 2;
}
