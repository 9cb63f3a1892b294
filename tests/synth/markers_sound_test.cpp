#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "synth/markers.h"
#include "synth/sound.h"

namespace {

std::vector<int32_t> Positions(MarkerList& list) {
  std::vector<int32_t> positions;
  for (auto link : list) positions.push_back(link.Value()->position);
  return positions;
}

TEST(Markers, CreateAppendsAFlatMarker) {
  MarkerList list;
  auto marker = markers::Create(list, 0, 1.0f, 0);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.FirstLink().Value(), marker);
  EXPECT_EQ(marker->value, 1.0f);
  EXPECT_EQ(marker->position, 0);
  EXPECT_EQ(marker->curve_in, 1.0f);
  EXPECT_EQ(marker->curve_out, -1.0f);
  EXPECT_EQ(marker->vib_amount, 0.0f);
  EXPECT_EQ(marker->vib_speed, 0.0f);
  EXPECT_EQ(marker->prev_marker, nullptr);
  EXPECT_EQ(markers::Create(list, 0x1FF, 0.0f, 3)->typ, 0xFF);  // low 8 bits
}

TEST(Markers, CompareFuncIsThePositionDifference) {
  MarkerList list;
  auto a = markers::Create(list, 0, 0.0f, 904);
  auto b = markers::Create(list, 0, 0.0f, 2971);
  EXPECT_EQ(markers::CompareFunc(a, b), -2067);
  EXPECT_EQ(markers::CompareFunc(b, a), 2067);
  EXPECT_EQ(markers::CompareFunc(a, a), 0);
}

TEST(Markers, CompareFuncKeepsItsSignForExtremePositions) {
  MarkerList list;
  auto low = markers::Create(list, 0, 0.0f, std::numeric_limits<int32_t>::min());
  auto high = markers::Create(list, 0, 0.0f, std::numeric_limits<int32_t>::max());
  EXPECT_LT(markers::CompareFunc(low, high), 0);
  EXPECT_GT(markers::CompareFunc(high, low), 0);
  list.Sort(markers::CompareFunc);
  EXPECT_EQ(list.FirstLink().Value(), low);
}

TEST(Markers, SortingOrdersByPosition) {
  MarkerList list;
  for (int32_t position : {500, 0, 250}) markers::Create(list, 0, 0.0f, position);
  list.Sort(markers::CompareFunc);
  EXPECT_EQ(Positions(list), (std::vector<int32_t>{0, 250, 500}));
}

TEST(SoundObject, CreateGivesDefaultsAndBuffersOfItsLength) {
  auto sound = Sound::Create(22050, 44100, 0, 1);
  EXPECT_EQ(sound->length, 22050);
  EXPECT_EQ(sound->hertz, 44100);
  EXPECT_EQ(sound->note, 1);
  EXPECT_EQ(sound->vib_table.rows(), 6);
  ASSERT_EQ(sound->vib_table.columns(), 22050);
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(sound->vib_table.at(k, 0), 0.0f);
    EXPECT_EQ(sound->vib_table.at(k, 22049), 0.0f);
  }
  ASSERT_NE(sound->sample, nullptr);
  EXPECT_EQ(sound->sample->length(), 22050);
  EXPECT_EQ(sound->sample->hertz(), 44100);
  EXPECT_EQ(sound->sample->format(), kSampleFormatMono16);
  for (int k = 0; k < kEnvelopeCount; ++k) {
    EXPECT_EQ(sound->envelope_list(k).Count(), 0);
    EXPECT_EQ(sound->current_marker(k), nullptr);
  }
  EXPECT_EQ(sound->FX_DELAY, 0);
  EXPECT_EQ(sound->FX_DELAY_interval, 16536);
  EXPECT_EQ(sound->FX_DELAY_decay, 0.2f);
  EXPECT_EQ(sound->phaser_depth, 1.0f);
  EXPECT_EQ(sound->phaser_feedback, 0.7f);
  EXPECT_EQ(sound->phaser_delaycount, 6);
  EXPECT_EQ(sound->mixflag, 0);
  EXPECT_EQ(sound->mixsnd, nullptr);
  EXPECT_EQ(Sound::Create(10, 44100, 0, 0x105)->note, 5);
}

TEST(SoundObject, CreateMarkersFillsEachEmptyListOnce) {
  auto sound = Sound::Create(100, 44100, 0, 1);
  Sound::CreateMarkers(*sound);
  const float flat[kEnvelopeCount] = {1.0f, 1.0f, 1.0f, 0.0f, 1.0f, 0.0f};
  for (int k = 0; k < kEnvelopeCount; ++k) {
    MarkerList& list = sound->envelope_list(k);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(sound->current_marker(k), list.FirstLink().Value());
    EXPECT_EQ(sound->current_marker(k)->value, flat[k]);
    EXPECT_EQ(sound->current_marker(k)->position, 0);
    EXPECT_EQ(sound->current_marker(k)->typ, 0);
  }
  Sound::CreateMarkers(*sound);
  for (int k = 0; k < kEnvelopeCount; ++k) EXPECT_EQ(sound->envelope_list(k).Count(), 1);
}

TEST(SoundObject, CreateMarkersLeavesFilledListsAlone) {
  auto sound = Sound::Create(100, 44100, 0, 1);
  auto mine = markers::Create(sound->volList, 0, 0.5f, 7);
  markers::Create(sound->volList, 0, 0.25f, 9);
  sound->vol = mine;
  Sound::CreateMarkers(*sound);
  EXPECT_EQ(sound->volList.Count(), 2);
  EXPECT_EQ(sound->vol, mine);
  EXPECT_EQ(sound->pitchList.Count(), 1);
  EXPECT_EQ(sound->pulsList.Count(), 1);
}

TEST(SoundObject, NewLengthReplacesBuffersOnly) {
  auto sound = Sound::Create(22050, 44100, 3, 1);
  Sound::CreateMarkers(*sound);
  sound->filtertype = 4;
  auto old_sample = sound->sample;
  Sound::NewLength(*sound, 100);
  EXPECT_EQ(sound->length, 100);
  EXPECT_NE(sound->sample, old_sample);
  EXPECT_EQ(sound->sample->length(), 100);
  EXPECT_EQ(sound->sample->hertz(), 44100);
  EXPECT_EQ(sound->vib_table.rows(), 6);
  EXPECT_EQ(sound->vib_table.columns(), 100);
  EXPECT_EQ(sound->filtertype, 4);
  EXPECT_EQ(sound->waveform, 3);
  EXPECT_EQ(sound->volList.Count(), 1);
}

}  // namespace
