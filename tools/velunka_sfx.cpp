// velunka-sfx: the sound makers' tool, built on the game's own loader and renderer.
//   velunka-sfx render IN.wkt OUT.wav   renders the definition to a 16-bit mono WAV file
//   velunka-sfx info IN.wkt             prints the settings and the six envelopes
//   velunka-sfx play IN.wkt             plays it through the default audio output
//   velunka-sfx --help | --version

#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "platform/audio.h"
#include "platform/stream.h"
#include "synth/formant_table.h"
#include "synth/sound.h"
#include "synth/sound_loader.h"
#include "velunka_version.h"

namespace {

constexpr const char* kUsage =
    "usage: velunka-sfx render IN.wkt OUT.wav\n"
    "       velunka-sfx info IN.wkt\n"
    "       velunka-sfx play IN.wkt\n"
    "       velunka-sfx --help | --version\n";

constexpr const char* kHelp =
    "Renders, describes and plays the game's sound definitions (.wkt files of\n"
    "versions 1 to 9) with the game's own synthesizer.\n"
    "\n"
    "  render IN.wkt OUT.wav  render the sound to a 16-bit mono WAV file\n"
    "  info IN.wkt            print its settings and its six envelopes\n"
    "  play IN.wkt            play it through the default audio output\n"
    "  --help                 print this help\n"
    "  --version              print the version\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written, a definition\n"
    "cannot be loaded or there is no audio output, 2 for a wrong command line.\n"
    "See velunka-sfx(1).\n";

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

// Plays the rendered sound to its end on the system's default output.
int Play(const std::string& in_path) {
  std::string why;
  std::optional<LoadedFile> loaded = Load(in_path, why);
  if (!loaded) return Fail(why);
  const std::unique_ptr<TAudioDriver> driver = OpenAudioDriver(AudioDriverNames()[3]);
  if (!driver) return Fail("no audio output: the default audio device cannot be opened");
  const FormantTable table = BuildFormantTable();
  loaded->sound->fill(table);
  const TAudioSample& sample = *loaded->sound->sample;
  const std::unique_ptr<TSound> sound = driver->LoadSound(sample, kSoundHardware);
  const std::shared_ptr<TChannel> channel = sound->Cue(nullptr);
  channel->SetPaused(0);
  // A mixer that stalls must not keep the tool waiting past the sound's own length.
  const auto seconds = std::chrono::duration<double>(
      sample.hertz() > 0 ? double(sample.length()) / sample.hertz() : 0.0);
  const auto give_up = std::chrono::steady_clock::now() + seconds + std::chrono::seconds(2);
  while (channel->Playing() && std::chrono::steady_clock::now() < give_up)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return 0;
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
  if (command == "play" && argc == 3) return Play(argv[2]);
  if (command == "--help" && argc == 2) {
    std::fputs(kUsage, stdout);
    std::fputs("\n", stdout);
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (command == "--version" && argc == 2) {
    std::printf("velunka-sfx %s\n", kVelunkaVersion);
    return 0;
  }
  std::fputs(kUsage, stderr);
  return 2;
}
