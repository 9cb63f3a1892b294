#include "render/text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/stream.h"
#include "render/gl_recorder.h"

namespace {

constexpr TextureName kFont = 7;
constexpr float kCellSpan = 0.0111111f;

// Checks one recorded quad: corners in the order top-left, bottom-left, bottom-right,
// top-right, and the glyph of `code` across it.
void expect_cell(const RecordedPrimitive& cell, char code, float left, float top, float width,
                 float height) {
  ASSERT_EQ(cell.primitive, Primitive::Quads);
  ASSERT_EQ(cell.vertices.size(), 4u);
  EXPECT_EQ(cell.texture, kFont);
  const float u0 = float((code - 33) * 8) / 720.0f;
  const float right = left + width;
  const float bottom = top + height;
  const float expected[4][4] = {{left, top, u0, 0.0f},
                                {left, bottom, u0, 1.0f},
                                {right, bottom, u0 + kCellSpan, 1.0f},
                                {right, top, u0 + kCellSpan, 0.0f}};
  for (int i = 0; i < 4; ++i) {
    const GlVertex& vertex = cell.vertices[i];
    EXPECT_FLOAT_EQ(vertex.x, expected[i][0]) << code << " corner " << i;
    EXPECT_FLOAT_EQ(vertex.y, expected[i][1]) << code << " corner " << i;
    EXPECT_FLOAT_EQ(vertex.u, expected[i][2]) << code << " corner " << i;
    EXPECT_EQ(vertex.v, expected[i][3]) << code << " corner " << i;
  }
}

TEST(DrawText, EmptyTextOnlySelectsTheFont) {
  GlRecorder gl;
  draw_text(gl, kFont, "", 10.0f, 20.0f, 1.0f);
  EXPECT_TRUE(gl.Primitives().empty());
  const std::vector<std::string> expected = {"ActiveTexture0", "BindTexture 7"};
  EXPECT_EQ(gl.Calls(), expected);
  EXPECT_EQ(gl.BoundTexture(), kFont);
}

TEST(DrawText, BlanksTakeACellButDrawNothing) {
  GlRecorder gl;
  draw_text(gl, kFont, "A B", 10.0f, 20.0f, 1.0f);
  ASSERT_EQ(gl.Primitives().size(), 2u);
  expect_cell(gl.Primitives()[0], 'A', 10.0f, 20.0f, 8.0f, 16.0f);
  expect_cell(gl.Primitives()[1], 'B', 26.0f, 20.0f, 8.0f, 16.0f);

  gl.ClearRecords();
  draw_text(gl, kFont, "\tz", 0.0f, 0.0f, 1.0f);
  ASSERT_EQ(gl.Primitives().size(), 1u);
  expect_cell(gl.Primitives()[0], 'z', 8.0f, 0.0f, 8.0f, 16.0f);
}

TEST(DrawText, FirstAndLastGlyphsSpanTheEndsOfTheStrip) {
  GlRecorder gl;
  draw_text(gl, kFont, "!z", 0.0f, 0.0f, 1.0f);
  ASSERT_EQ(gl.Primitives().size(), 2u);
  EXPECT_EQ(gl.Primitives()[0].vertices[0].u, 0.0f);
  EXPECT_EQ(gl.Primitives()[0].vertices[2].u, kCellSpan);
  // 712 / 720 to just below 1.
  EXPECT_FLOAT_EQ(gl.Primitives()[1].vertices[0].u, 712.0f / 720.0f);
  EXPECT_NEAR(gl.Primitives()[1].vertices[2].u, 1.0f, 1e-6f);
}

TEST(DrawText, LineFeedStartsTheNextLineAtX) {
  GlRecorder gl;
  draw_text(gl, kFont, "A\nBC", 10.0f, 20.0f, 1.0f);
  ASSERT_EQ(gl.Primitives().size(), 3u);
  expect_cell(gl.Primitives()[0], 'A', 10.0f, 20.0f, 8.0f, 16.0f);
  expect_cell(gl.Primitives()[1], 'B', 10.0f, 36.0f, 8.0f, 16.0f);
  expect_cell(gl.Primitives()[2], 'C', 18.0f, 36.0f, 8.0f, 16.0f);
}

TEST(DrawText, ScaleGrowsCellsAndAdvance) {
  GlRecorder gl;
  draw_text(gl, kFont, "AB", 0.0f, 0.0f, 2.0f);
  ASSERT_EQ(gl.Primitives().size(), 2u);
  expect_cell(gl.Primitives()[0], 'A', 0.0f, 0.0f, 16.0f, 32.0f);
  expect_cell(gl.Primitives()[1], 'B', 16.0f, 0.0f, 16.0f, 32.0f);

  gl.ClearRecords();
  draw_text(gl, kFont, "P\nQ", 230.0f, 350.0f, 1.5f);
  ASSERT_EQ(gl.Primitives().size(), 2u);
  expect_cell(gl.Primitives()[0], 'P', 230.0f, 350.0f, 12.0f, 24.0f);
  expect_cell(gl.Primitives()[1], 'Q', 230.0f, 374.0f, 12.0f, 24.0f);
}

TEST(DrawText, UsesTheCallersColour) {
  GlRecorder gl;
  gl.Color(0.5f, 1.0f, 1.0f, 0.25f);
  draw_text(gl, kFont, "$1", 4.0f, 9.0f, 1.0f);
  ASSERT_EQ(gl.Primitives().size(), 2u);
  for (const RecordedPrimitive& cell : gl.Primitives()) {
    for (const GlVertex& vertex : cell.vertices) {
      EXPECT_EQ(vertex.colour, (Colour{0.5f, 1.0f, 1.0f, 0.25f}));
    }
  }
}

std::vector<uint8_t> font_file() {
  std::ifstream file(VELUNKA_ASSET_DIR "/font.png", std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

TEST(FontTexture, IsMadeFromTheEmbeddedStrip) {
  const std::vector<uint8_t> png = font_file();
  ASSERT_FALSE(png.empty());
  EmbeddedFiles files;
  files.RegisterEmbeddedFile("font.png", png.data(), png.size());
  GlRecorder gl;
  const TextureName name = make_font_texture(gl, files);
  ASSERT_NE(name, 0u);
  ASSERT_EQ(gl.LiveTextures().count(name), 1u);
  EXPECT_EQ(gl.LiveTextures().at(name).width, 720);
  EXPECT_EQ(gl.LiveTextures().at(name).height, 16);
}

TEST(FontTexture, IsZeroWithoutAReadableStrip) {
  GlRecorder gl;
  EXPECT_EQ(make_font_texture(gl, EmbeddedFiles{}), 0u);

  const std::vector<uint8_t> png = font_file();
  ASSERT_GT(png.size(), 100u);
  EmbeddedFiles cut;
  cut.RegisterEmbeddedFile("font.png", png.data(), 100);
  EXPECT_EQ(make_font_texture(gl, cut), 0u);
  EXPECT_TRUE(gl.LiveTextures().empty());
}

}  // namespace
