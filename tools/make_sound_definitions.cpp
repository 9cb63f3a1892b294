// Writes the game's four sound definitions (version 9) into a folder:
//   make_sound_definitions OUTPUT_DIR
// The files are committed under assets/; this program is how they are remade.

#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Marker {
  int32_t position;
  float value;
  float vib_amount = 0.0f;
  float vib_speed = 0.0f;
  float curve_in = 1.0f;
  float curve_out = -1.0f;
};

using Envelope = std::vector<Marker>;

struct Definition {
  const char* file_name;
  int32_t length;
  int32_t waveform;
  uint8_t filtertype;
  uint8_t bipolar;
  uint8_t phaze;
  float phaser_depth;
  float phaser_feedback;
  int32_t phaser_delaycount;
  uint8_t fx_delay;
  int32_t fx_delay_interval;
  float fx_delay_decay;
  std::array<Envelope, 6> envelopes;  // vol, pitch, lowp, reso, phaz, puls
};

constexpr uint8_t kVersion = 9;
constexpr uint8_t kNote = 1;
constexpr int32_t kHertz = 44100;

Marker Curved(int32_t position, float value, float curve_in, float curve_out = -1.0f) {
  return {position, value, 0.0f, 0.0f, curve_in, curve_out};
}

Marker Vibrato(int32_t position, float value, float amount, float speed) {
  return {position, value, amount, speed};
}

std::vector<Definition> GameDefinitions() {
  return {
      {"laser02.wkt",
       41340,
       3,
       7,
       0,
       2,
       1.0f,
       0.7f,
       6,
       0,
       16536,
       0.2f,
       {{
           {{0, 1.0f},
            {1356, 0.040000007f},
            {1808, 0.49000004f},
            {6265, 0.019999944f},
            {11497, 0.017255798f},
            {41469, 0.0f}},
           {{0, 1.7979999f},
            Curved(904, 0.92528725f, 2.45f),
            {2971, 0.8359979f},
            {18409, 0.8255943f},
            {41081, 0.838f}},
           {{0, 1.0100003f},
            {1873, 0.16000004f},
            {2389, 0.29134944f},
            {3552, 0.12732328f},
            {10980, 0.3200001f}},
           {{0, 0.55999994f}, {4779, 0.35999978f}},
           {{0, 1.0f}, Curved(19184, 0.87999994f, -2.2351742e-08f, -0.2f), {40952, 1.0f}},
           {{0, 0.0f}},
       }}},
      {"pop01.wkt",
       10000,
       3,
       5,
       0,
       0,
       1.0f,
       0.7f,
       6,
       0,
       16536,
       0.2f,
       {{
           {{0, 1.3099996f},
            {187, 0.98999995f},
            Curved(1093, 0.12238113f, 3.0499997f, -0.24999997f),
            {9937, 0.0f}},
           {{0, 0.998f}, Vibrato(9874, 0.88889f, 0.056f, -1.2599998f)},
           {{0, 0.2800001f}, {9828, 0.63f}},
           {{0, 0.7699999f}, {1296, 0.040000033f}},
           {{0, 1.0f}},
           {{0, 0.0f}},
       }}},
      {"collect01.wkt",
       20000,
       0,
       5,
       0,
       2,
       1.0f,
       0.99988f,
       10,
       1,
       8268,
       0.1f,
       {{
           {{0, 0.030000078f}, {1249, 0.3100001f}, {4281, 0.03f}, {5468, 0.0f}},
           {{0, 1.6999999f}, {1124, 1.5872315f}, {2843, 0.93736845f}, {19812, 3.25f}},
           {{0, 0.36736864f}},
           {{0, 1.0873685f}, {2593, 0.99736917f}, {5531, 0.3273688f}, {8343, 0.2999999f}},
           {{0, 0.84999967f},
            {156, 0.5678788f},
            {1749, 0.37808168f},
            {6593, 0.29746577f},
            {9624, 0.39563504f},
            {12468, 0.43317157f},
            {19718, 0.47000018f}},
           {{0, 0.0f}},
       }}},
      {"drain.wkt",
       22300,
       3,
       0,
       1,
       0,
       1.0f,
       0.7f,
       6,
       0,
       16536,
       0.2f,
       {{
           {{0, 0.0f},
            {5435, 0.4900005f},
            {10940, -0.9599999f},
            {16446, 0.5000002f},
            {22090, 0.0f}},
           {Vibrato(0, 1.0f, 0.04f, 0.31f)},
           {{0, 0.5400001f}},
           {{0, 1.1299995f}},
           {{0, 1.0f}},
           {{0, 0.17000002f},
            {4390, 0.43f},
            {9407, 0.16000001f},
            {13798, 0.32000002f},
            {18711, 0.14000003f},
            {22125, 0.16f}},
       }}},
  };
}

class Writer {
 public:
  void Text(const std::string& text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
  void Byte(uint8_t value) { bytes_.push_back(value); }
  void Int(int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(uint8_t(bits >> shift));
  }
  void Float(float value) { Int(std::bit_cast<int32_t>(value)); }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

std::vector<uint8_t> Encode(const Definition& d) {
  Writer out;
  out.Text("welkator version ");
  out.Byte(kVersion);
  out.Text("snd");
  out.Byte(kNote);
  out.Int(kHertz);
  out.Int(d.length);
  out.Int(d.waveform);
  out.Byte(d.filtertype);
  out.Byte(d.bipolar);
  out.Byte(d.phaze);
  out.Float(d.phaser_depth);
  out.Float(d.phaser_feedback);
  out.Int(d.phaser_delaycount);
  out.Byte(d.fx_delay);
  out.Int(d.fx_delay_interval);
  out.Float(d.fx_delay_decay);
  for (const Envelope& envelope : d.envelopes) {
    out.Int(int32_t(envelope.size()));
    for (const Marker& m : envelope) {
      out.Byte(0);
      out.Float(m.value);
      out.Int(m.position);
      out.Float(m.vib_amount);
      out.Float(m.vib_speed);
      out.Float(m.curve_in);
      out.Float(m.curve_out);
    }
  }
  out.Text("END");
  return out.bytes();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sound_definitions OUTPUT_DIR\n");
    return 2;
  }
  for (const Definition& definition : GameDefinitions()) {
    const std::string path = std::string(argv[1]) + "/" + definition.file_name;
    const std::vector<uint8_t> bytes = Encode(definition);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file) {
      std::fprintf(stderr, "make_sound_definitions: cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%s: %zu bytes\n", path.c_str(), bytes.size());
  }
  return 0;
}
