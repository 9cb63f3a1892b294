#include <gtest/gtest.h>

#include <bit>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "platform/pixmap.h"

namespace {

constexpr int kCells = 90;

std::optional<TPixmap> load_strip() {
  std::ifstream file(VELUNKA_ASSET_DIR "/font.png", std::ios::binary);
  const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(file), {});
  return DecodePng(bytes.data(), bytes.size());
}

bool ink(const TPixmap& strip, int cell, int x, int y) {
  return (strip.ReadPixel(cell * 8 + x, y) >> 24) != 0;
}

// Rows (or columns) of a cell that hold ink, as a bit mask.
unsigned inked_rows(const TPixmap& strip, int cell) {
  unsigned rows = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 8; ++x) {
      if (ink(strip, cell, x, y)) rows |= 1u << y;
    }
  }
  return rows;
}

unsigned inked_columns(const TPixmap& strip, int cell) {
  unsigned columns = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 8; ++x) {
      if (ink(strip, cell, x, y)) columns |= 1u << x;
    }
  }
  return columns;
}

int cell_of(char code) {
  return code - 33;
}

TEST(FontStrip, IsNinetyCellsOfWhiteOnTransparent) {
  const auto strip = load_strip();
  ASSERT_TRUE(strip.has_value());
  EXPECT_EQ(strip->Width(), 720);
  EXPECT_EQ(strip->Height(), 16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 720; ++x) {
      ASSERT_EQ(strip->ReadPixel(x, y) & 0xFFFFFF, 0xFFFFFFu) << x << "," << y;
    }
  }
  for (int cell = 0; cell < kCells; ++cell) {
    EXPECT_NE(inked_rows(*strip, cell), 0u) << "cell " << cell;
    // A blank right-hand column keeps neighbouring glyphs apart when filtered.
    EXPECT_EQ(inked_columns(*strip, cell) & 0x80u, 0u) << "cell " << cell;
  }
}

TEST(FontStrip, GlyphsSitInTheirCodeOrder) {
  const auto strip = load_strip();
  ASSERT_TRUE(strip.has_value());
  // "!" is a narrow upright stroke in the first cell.
  EXPECT_EQ(inked_columns(*strip, cell_of('!')), 0x18u);
  EXPECT_GT(std::popcount(inked_rows(*strip, cell_of('!'))), 6);
  // "-" is one horizontal stroke, "." a dot on the baseline, "_" lies below them.
  const unsigned minus = inked_rows(*strip, cell_of('-'));
  EXPECT_EQ(std::popcount(minus), 1);
  const unsigned dot = inked_rows(*strip, cell_of('.'));
  EXPECT_GT(dot, minus);
  EXPECT_LE(std::popcount(dot), 3);
  EXPECT_GT(inked_rows(*strip, cell_of('_')), dot);
  EXPECT_EQ(std::popcount(inked_rows(*strip, cell_of('_'))), 1);
  // ":" is two dots one above the other.
  const unsigned colon = inked_rows(*strip, cell_of(':'));
  EXPECT_NE(colon & 0x00FFu, 0u);
  EXPECT_NE(colon >> 8, 0u);
  // "|" follows "z" in the code table and is not in the strip: the last cell is "z",
  // which, like the other small letters, starts below the capitals' top.
  const unsigned capital = inked_rows(*strip, cell_of('Z'));
  const unsigned small = inked_rows(*strip, cell_of('z'));
  EXPECT_GT(small & -small, capital & -capital);
}

}  // namespace
