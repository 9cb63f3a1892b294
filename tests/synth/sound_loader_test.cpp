#include "synth/sound_loader.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/synth/definition_builder.h"

namespace {

struct ExpectedMarker {
  int32_t position;
  float value;
  float vib_amount = 0.0f;
  float vib_speed = 0.0f;
  float curve_in = 1.0f;
  float curve_out = -1.0f;
};

struct ExpectedSound {
  const char* name;
  size_t size;
  int32_t length, waveform;
  int filtertype, bipolar, phaze;
  float phaser_depth, phaser_feedback;
  int32_t phaser_delaycount;
  int fx_delay;
  int32_t fx_interval;
  float fx_decay;
  std::array<std::vector<ExpectedMarker>, 6> envelopes;
};

ExpectedMarker CurveIn(int32_t p, float v, float in, float out = -1.0f) {
  return {p, v, 0.0f, 0.0f, in, out};
}
ExpectedMarker Vib(int32_t p, float v, float amount, float speed) {
  return {p, v, amount, speed};
}

// The contents of the game's sound definitions, as the sound makers specified them.
const std::vector<ExpectedSound>& GameSounds() {
  static const std::vector<ExpectedSound> sounds = {
      {"laser02.wkt",
       635,
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
       {{{{0, 1},
          {1356, 0.040000007f},
          {1808, 0.49000004f},
          {6265, 0.019999944f},
          {11497, 0.017255798f},
          {41469, 0}},
         {{0, 1.7979999f},
          CurveIn(904, 0.92528725f, 2.45f),
          {2971, 0.8359979f},
          {18409, 0.8255943f},
          {41081, 0.838f}},
         {{0, 1.0100003f},
          {1873, 0.16000004f},
          {2389, 0.29134944f},
          {3552, 0.12732328f},
          {10980, 0.3200001f}},
         {{0, 0.55999994f}, {4779, 0.35999978f}},
         {{0, 1}, CurveIn(19184, 0.87999994f, -2.2351742e-08f, -0.2f), {40952, 1}},
         {{0, 0}}}}},
      {"pop01.wkt",
       385,
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
       {{{{0, 1.3099996f},
          {187, 0.98999995f},
          CurveIn(1093, 0.12238113f, 3.0499997f, -0.24999997f),
          {9937, 0}},
         {{0, 0.998f}, Vib(9874, 0.88889f, 0.056f, -1.2599998f)},
         {{0, 0.2800001f}, {9828, 0.63f}},
         {{0, 0.7699999f}, {1296, 0.040000033f}},
         {{0, 1}},
         {{0, 0}}}}},
      {"collect01.wkt",
       610,
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
       {{{{0, 0.030000078f}, {1249, 0.3100001f}, {4281, 0.03f}, {5468, 0}},
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
         {{0, 0}}}}},
      {"drain.wkt",
       460,
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
       {{{{0, 0}, {5435, 0.4900005f}, {10940, -0.9599999f}, {16446, 0.5000002f}, {22090, 0}},
         {Vib(0, 1, 0.04f, 0.31f)},
         {{0, 0.5400001f}},
         {{0, 1.1299995f}},
         {{0, 1}},
         {{0, 0.17000002f},
          {4390, 0.43f},
          {9407, 0.16000001f},
          {13798, 0.32000002f},
          {18711, 0.14000003f},
          {22125, 0.16f}}}}},
  };
  return sounds;
}

std::vector<uint8_t> ReadAsset(const std::string& name) {
  std::ifstream file(std::string(VELUNKA_ASSET_DIR) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

std::vector<std::shared_ptr<markers>> Markers(MarkerList& list) {
  std::vector<std::shared_ptr<markers>> result;
  for (auto link : list) result.push_back(link.Value());
  return result;
}

std::shared_ptr<Sound> DefaultSound() {
  auto sound = Sound::Create(22050, 44100, 0, 1);
  Sound::CreateMarkers(*sound);
  return sound;
}

// Registers bytes under a name and loads them as the game does.
class LoaderTest : public ::testing::Test {
 protected:
  std::shared_ptr<Sound> Load(std::vector<uint8_t> bytes, std::shared_ptr<Sound> previous) {
    blocks_.push_back(std::move(bytes));
    const std::string name = "test" + std::to_string(blocks_.size()) + ".wkt";
    files_.RegisterEmbeddedFile(name, blocks_.back().data(), blocks_.back().size());
    return load_sound_definition(files_, previous, "incbin::" + name);
  }
  std::shared_ptr<Sound> Load(std::vector<uint8_t> bytes) { return Load(bytes, DefaultSound()); }

  EmbeddedFiles files_;
  std::vector<std::vector<uint8_t>> blocks_;
};

TEST_F(LoaderTest, EmbeddedFilesLoadExactlyTheirListedSettingsAndMarkers) {
  for (const ExpectedSound& expected : GameSounds()) {
    SCOPED_TRACE(expected.name);
    std::vector<uint8_t> bytes = ReadAsset(expected.name);
    ASSERT_EQ(bytes.size(), expected.size);
    // The game names them with a backslash; the loader must not care.
    blocks_.push_back(bytes);
    const std::string name = std::string("assets\\") + expected.name;
    files_.RegisterEmbeddedFile(name, blocks_.back().data(), blocks_.back().size());
    auto previous = DefaultSound();
    auto sound = load_sound_definition(files_, previous, "Incbin::" + name);
    ASSERT_NE(sound, previous);
    EXPECT_EQ(sound->note, 1);
    EXPECT_EQ(sound->hertz, 44100);
    EXPECT_EQ(sound->length, expected.length);
    EXPECT_EQ(sound->waveform, expected.waveform);
    EXPECT_EQ(sound->filtertype, expected.filtertype);
    EXPECT_EQ(sound->bipolar, expected.bipolar);
    EXPECT_EQ(sound->phaze, expected.phaze);
    EXPECT_EQ(sound->phaser_depth, expected.phaser_depth);
    EXPECT_EQ(sound->phaser_feedback, expected.phaser_feedback);
    EXPECT_EQ(sound->phaser_delaycount, expected.phaser_delaycount);
    EXPECT_EQ(sound->FX_DELAY, expected.fx_delay);
    EXPECT_EQ(sound->FX_DELAY_interval, expected.fx_interval);
    EXPECT_EQ(sound->FX_DELAY_decay, expected.fx_decay);
    EXPECT_EQ(sound->sample->length(), expected.length);
    for (int k = 0; k < kEnvelopeCount; ++k) {
      SCOPED_TRACE(k);
      auto list = Markers(sound->envelope_list(k));
      const auto& want = expected.envelopes[k];
      ASSERT_EQ(list.size(), want.size());
      for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(list[i]->typ, 0);
        EXPECT_EQ(list[i]->position, want[i].position);
        EXPECT_EQ(list[i]->value, want[i].value);
        EXPECT_EQ(list[i]->vib_amount, want[i].vib_amount);
        EXPECT_EQ(list[i]->vib_speed, want[i].vib_speed);
        EXPECT_EQ(list[i]->curve_in, want[i].curve_in);
        EXPECT_EQ(list[i]->curve_out, want[i].curve_out);
      }
      // Every file lists its markers in order, so the last one read is the last one.
      EXPECT_EQ(sound->current_marker(k), list.back());
    }
    EXPECT_EQ(previous->volList.Count(), 0);  // the replaced sound gives up its markers
  }
}

TEST_F(LoaderTest, EmbeddedFilesAreReadUpToTheirTrailer) {
  for (const ExpectedSound& expected : GameSounds()) {
    std::vector<uint8_t> bytes = ReadAsset(expected.name);
    TStream stream(std::span<const uint8_t>(bytes.data(), bytes.size()));
    ASSERT_TRUE(read_sound_definition(stream).has_value());
    EXPECT_EQ(stream.Remaining(), 3u);
    EXPECT_EQ(stream.ReadString(3), "END");
  }
}

TEST_F(LoaderTest, VersionOneHasDefaultsForEverythingItLacks) {
  DefinitionBuilder file(1);
  // Version 1: legacy resonance, bipolar, then only the first three lists.
  file.Head(22050, 500, 2).Float(0.625f).Byte(1);
  file.List({{0, 0.5f, 10}}).List({{0, 2.0f, 0}}).List({{0, 0.25f, 7}});
  auto sound = Load(file.bytes());
  EXPECT_EQ(sound->hertz, 22050);
  EXPECT_EQ(sound->length, 500);
  EXPECT_EQ(sound->waveform, 2);
  EXPECT_EQ(sound->filtertype, 0);
  EXPECT_EQ(sound->bipolar, 1);
  EXPECT_EQ(sound->phaze, 0);
  EXPECT_EQ(sound->FX_DELAY, 0);
  EXPECT_EQ(sound->FX_DELAY_interval, 16536);
  EXPECT_EQ(sound->FX_DELAY_decay, 0.2f);
  EXPECT_EQ(sound->phaser_depth, 1.0f);
  EXPECT_EQ(sound->phaser_feedback, 0.7f);
  EXPECT_EQ(sound->phaser_delaycount, 6);
  auto vol = Markers(sound->volList);
  ASSERT_EQ(vol.size(), 1u);
  EXPECT_EQ(vol[0]->position, 10);
  EXPECT_EQ(vol[0]->vib_amount, 0.0f);
  EXPECT_EQ(vol[0]->curve_in, 1.0f);
  EXPECT_EQ(vol[0]->curve_out, -1.0f);
  const std::array<std::pair<int, float>, 3> defaults = {
      {{kEnvReso, 0.625f}, {kEnvPhaz, 1.0f}, {kEnvPuls, 0.0f}}};
  for (auto [k, value] : defaults) {
    auto list = Markers(sound->envelope_list(k));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->position, 0);
    EXPECT_EQ(list[0]->value, value);
    EXPECT_EQ(list[0]->vib_amount, 0.0f);
    EXPECT_EQ(list[0]->vib_speed, 0.0f);
    EXPECT_EQ(sound->current_marker(k), list[0]);
  }
}

TEST_F(LoaderTest, VersionFourHasLegacyResonanceAndDelayButNoFilterType) {
  DefinitionBuilder file(4);
  file.Head().Float(0.375f).Byte(0).Byte(1);  // legacy resonance, bipolar, phaze
  file.Byte(1).Int(300).Float(0.5f);          // delay settings
  RecordSpec vibrato{0, 1.0f, 0, 0.25f, -2.0f};
  file.List({vibrato}).List({{}}).List({{}});
  auto sound = Load(file.bytes());
  EXPECT_EQ(sound->filtertype, 0);
  EXPECT_EQ(sound->phaze, 1);
  EXPECT_EQ(sound->FX_DELAY, 1);
  EXPECT_EQ(sound->FX_DELAY_interval, 300);
  EXPECT_EQ(sound->FX_DELAY_decay, 0.5f);
  EXPECT_EQ(sound->vol->vib_amount, 0.25f);
  EXPECT_EQ(sound->vol->vib_speed, -2.0f);
  EXPECT_EQ(sound->vol->curve_in, 1.0f);  // curves came later
  EXPECT_EQ(sound->reso->value, 0.375f);
  EXPECT_EQ(sound->phaz->value, 1.0f);
  EXPECT_EQ(sound->puls->value, 0.0f);
}

TEST_F(LoaderTest, VersionFiveHasNeitherLegacyResonanceNorFilterType) {
  DefinitionBuilder file(5);
  file.Head().Byte(0).Byte(2);          // bipolar, phaze
  file.Byte(0).Int(16536).Float(0.2f);  // delay settings
  file.List({{}}).List({{}}).List({{}});
  file.List({{0, 0.75f, 3}}).List({{0, 0.5f, 4}});  // resonance and phase lists
  auto sound = Load(file.bytes());
  EXPECT_EQ(sound->filtertype, 0);
  EXPECT_EQ(sound->phaze, 2);
  EXPECT_EQ(sound->reso->value, 0.75f);
  EXPECT_EQ(sound->reso->position, 3);
  EXPECT_EQ(sound->phaz->value, 0.5f);
  ASSERT_EQ(sound->pulsList.Count(), 1);  // the pulse list came with version 7
  EXPECT_EQ(sound->puls->value, 0.0f);
}

TEST_F(LoaderTest, VersionNineReadsEveryField) {
  DefinitionBuilder file(9);
  file.Head(8000, 1234, 4, 7).Byte(9).Byte(1).Byte(2);
  file.Float(0.5f).Float(0.25f).Int(3);  // phaser
  file.Byte(1).Int(99).Float(0.125f);    // delay
  RecordSpec curved{5, -0.5f, 20, 0.1f, 0.2f, 0.3f, 0.4f};
  for (int k = 0; k < kEnvelopeCount; ++k) file.List({curved});
  auto sound = Load(file.bytes());
  EXPECT_EQ(sound->note, 7);
  EXPECT_EQ(sound->hertz, 8000);
  EXPECT_EQ(sound->waveform, 4);
  EXPECT_EQ(sound->filtertype, 9);
  EXPECT_EQ(sound->bipolar, 1);
  EXPECT_EQ(sound->phaser_depth, 0.5f);
  EXPECT_EQ(sound->phaser_feedback, 0.25f);
  EXPECT_EQ(sound->phaser_delaycount, 3);
  EXPECT_EQ(sound->FX_DELAY_interval, 99);
  for (int k = 0; k < kEnvelopeCount; ++k) {
    const markers& m = *sound->current_marker(k);
    EXPECT_EQ(m.typ, 5);
    EXPECT_EQ(m.value, -0.5f);
    EXPECT_EQ(m.position, 20);
    EXPECT_EQ(m.vib_amount, 0.1f);
    EXPECT_EQ(m.vib_speed, 0.2f);
    EXPECT_EQ(m.curve_in, 0.3f);
    EXPECT_EQ(m.curve_out, 0.4f);
  }
}

// A version-9 file whose pitch list is a bare count with no records after it.
std::vector<uint8_t> VersionNineWith(const std::vector<RecordSpec>& vol, int32_t pitch_count,
                                     const std::vector<RecordSpec>& puls = {}) {
  DefinitionBuilder file(9);
  file.Head().Byte(0).Byte(0).Byte(0).Float(1).Float(0.7f).Int(6).Byte(0).Int(16536).Float(0.2f);
  file.List(vol);
  file.Int(pitch_count);
  file.List({}).List({}).List({}).List(puls);
  return file.bytes();
}

TEST_F(LoaderTest, MarkersOutOfOrderAreSortedAndTheLastReadStaysCurrent) {
  auto sound = Load(VersionNineWith({{0, 5.0f, 500}, {0, 0.0f, 0}, {0, 2.5f, 250}}, 0));
  auto vol = Markers(sound->volList);
  ASSERT_EQ(vol.size(), 3u);
  EXPECT_EQ(vol[0]->position, 0);
  EXPECT_EQ(vol[1]->position, 250);
  EXPECT_EQ(vol[2]->position, 500);
  EXPECT_EQ(sound->vol, vol[1]);
}

TEST_F(LoaderTest, NegativeListCountReadsNoRecords) {
  auto sound = Load(VersionNineWith({{}}, -3, {{0, 0.5f, 9}}));
  EXPECT_EQ(sound->pitchList.Count(), 0);
  EXPECT_EQ(sound->pitch, nullptr);
  ASSERT_EQ(sound->pulsList.Count(), 1);  // the lists after it are read as usual
  EXPECT_EQ(sound->puls->value, 0.5f);
  EXPECT_EQ(sound->puls->position, 9);
}

// A previous sound with a recognisable marker, to see that refusals leave it alone.
std::shared_ptr<Sound> MarkedSound() {
  auto sound = Sound::Create(100, 44100, 0, 1);
  sound->vol = markers::Create(sound->volList, 0, 0.5f, 42);
  Sound::CreateMarkers(*sound);
  return sound;
}

TEST_F(LoaderTest, UnusableInputsLeaveThePreviousSoundUntouched) {
  std::vector<uint8_t> good = VersionNineWith({{0, 1.0f, 0}}, 1);
  ASSERT_EQ(good.size(), 58u + 6 * 4 + 25);  // the pitch list's record is missing
  std::vector<std::pair<const char*, std::vector<uint8_t>>> cases;
  cases.push_back({"claims a record it lacks", good});
  cases.push_back({"empty", {}});
  {
    auto bytes = VersionNineWith({{0, 1.0f, 0}}, 0);
    bytes[0] = 'W';
    cases.push_back({"wrong header text", bytes});
  }
  {
    auto bytes = VersionNineWith({{0, 1.0f, 0}}, 0);
    bytes[17] = 0;
    cases.push_back({"version 0", bytes});
  }
  {
    auto bytes = VersionNineWith({{0, 1.0f, 0}}, 0);
    bytes[20] = 'x';
    cases.push_back({"wrong tag", bytes});
  }
  {
    auto bytes = VersionNineWith({{0, 1.0f, 0}}, 0);
    bytes.resize(bytes.size() - 1);  // ends inside the last list's count
    cases.push_back({"ends early", bytes});
  }
  {
    auto bytes = VersionNineWith({{0, 1.0f, 0}}, 0);
    bytes.resize(40);  // ends inside the settings
    cases.push_back({"ends in the settings", bytes});
  }
  cases.push_back({"huge count", VersionNineWith({{0, 1.0f, 0}}, 0x7fffffff)});
  auto with_head = [](int32_t hertz, int32_t length) {
    DefinitionBuilder file(9);
    file.Head(hertz, length).Byte(0).Byte(0).Byte(0).Float(1).Float(0.7f).Int(6);
    file.Byte(0).Int(16536).Float(0.2f);
    for (int k = 0; k < kEnvelopeCount; ++k) file.List({{}});
    return file.bytes();
  };
  ASSERT_NE(Load(with_head(44100, 1000)), nullptr);  // the builder makes usable files
  cases.push_back({"zero length", with_head(44100, 0)});
  cases.push_back({"negative length", with_head(44100, -5)});
  cases.push_back({"absurd length", with_head(44100, kMaxSoundLength + 1)});
  cases.push_back({"zero hertz", with_head(0, 1000)});
  cases.push_back({"negative hertz", with_head(-44100, 1000)});
  for (auto& [what, bytes] : cases) {
    SCOPED_TRACE(what);
    auto previous = MarkedSound();
    auto result = Load(bytes, previous);
    EXPECT_EQ(result, previous);
    ASSERT_EQ(previous->volList.Count(), 1);
    EXPECT_EQ(previous->vol->position, 42);
    EXPECT_EQ(previous->pitchList.Count(), 1);
  }
}

TEST_F(LoaderTest, UrlsThatDoNotOpenKeepThePreviousSound) {
  auto previous = MarkedSound();
  EXPECT_EQ(load_sound_definition(files_, previous, ""), previous);
  EXPECT_EQ(load_sound_definition(files_, previous, "incbin::missing.wkt"), previous);
  EXPECT_EQ(load_sound_definition(files_, previous, "/no/such/file.wkt"), previous);
  EXPECT_EQ(previous->volList.Count(), 1);
}

TEST_F(LoaderTest, TryLoadTellsWhyItFailed) {
  std::string why;
  EXPECT_EQ(try_load_sound_definition(files_, "/no/such/file.wkt", &why), nullptr);
  EXPECT_EQ(why, "cannot open");
  auto bytes = VersionNineWith({{0, 1.0f, 0}}, 0);
  bytes.resize(70);
  TStream stream(std::span<const uint8_t>(bytes.data(), bytes.size()));
  EXPECT_FALSE(read_sound_definition(stream, &why).has_value());
  EXPECT_EQ(why, "envelope list is longer than the file");
}

TEST_F(LoaderTest, LengthsAtTheBoundLoad) {
  DefinitionBuilder file(9);
  file.Head(44100, kMaxSoundLength).Byte(0).Byte(0).Byte(0).Float(1).Float(0.7f).Int(6);
  file.Byte(0).Int(16536).Float(0.2f);
  for (int k = 0; k < kEnvelopeCount; ++k) file.List({{}});
  auto sound = Load(file.bytes());
  EXPECT_EQ(sound->length, kMaxSoundLength);
  EXPECT_EQ(sound->sample->length(), kMaxSoundLength);
}

}  // namespace
