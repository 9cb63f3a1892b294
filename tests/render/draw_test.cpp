// The drawing helpers through the recorder: primitives, vertex order, texture
// coordinates and colours.

#include "render/draw.h"

#include <gtest/gtest.h>

#include "render/gl_recorder.h"

namespace {

struct Expected {
  float x, y, u, v;
};

void ExpectVertices(const RecordedPrimitive& primitive, const std::vector<Expected>& expected) {
  ASSERT_EQ(primitive.vertices.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const GlVertex& vertex = primitive.vertices[i];
    EXPECT_EQ(vertex.x, expected[i].x) << "vertex " << i;
    EXPECT_EQ(vertex.y, expected[i].y) << "vertex " << i;
    EXPECT_EQ(vertex.u, expected[i].u) << "vertex " << i;
    EXPECT_EQ(vertex.v, expected[i].v) << "vertex " << i;
  }
}

TEST(DrawQuad, ASquareAroundItsCentreStartingTopRight) {
  GlRecorder gl;
  draw_quad(gl, 100, 50, 10);
  ASSERT_EQ(gl.Primitives().size(), 1u);
  EXPECT_EQ(gl.Primitives()[0].primitive, Primitive::Quads);
  ExpectVertices(gl.Primitives()[0],
                 {{110, 40, 1, 0}, {90, 40, 0, 0}, {90, 60, 0, 1}, {110, 60, 1, 1}});
}

TEST(DrawQuad, ANegativeHalfSideTurnsTheTextureRound) {
  GlRecorder gl;
  draw_quad(gl, 100, 50, -10);
  // The same square, with texture (1, 0) at the bottom-left corner.
  ExpectVertices(gl.Primitives()[0],
                 {{90, 60, 1, 0}, {110, 60, 0, 0}, {110, 40, 0, 1}, {90, 40, 1, 1}});
}

TEST(DrawQuad, ZeroHalfSideIsFourVerticesAtTheCentre) {
  GlRecorder gl;
  draw_quad(gl, 0, 0, 0);
  ExpectVertices(gl.Primitives()[0], {{0, 0, 1, 0}, {0, 0, 0, 0}, {0, 0, 0, 1}, {0, 0, 1, 1}});
}

TEST(DrawBeam, ABandSamplingTheMiddleRowAcrossItsWidth) {
  GlRecorder gl;
  draw_beam(gl, 100, 16, 200, 16, 0, 3);
  ExpectVertices(gl.Primitives()[0],
                 {{100, 19, 1, 0.5f}, {100, 13, 0, 0.5f}, {200, 13, 0, 0.5f}, {200, 19, 1, 0.5f}});
}

TEST(DrawFrame, FourOnePixelEdgesCoveringBothCorners) {
  GlRecorder gl;
  gl.TexCoord(0.25f, 0.75f);  // untextured: the vertices carry whatever is current
  draw_frame(gl, 98, 11, 202, 20);
  ASSERT_EQ(gl.Primitives().size(), 1u);
  const auto& vertices = gl.Primitives()[0].vertices;
  const std::vector<std::pair<float, float>> expected = {
      {202, 11}, {98, 11},  {98, 12},  {202, 12},  // top
      {99, 11},  {98, 11},  {98, 20},  {99, 20},   // left
      {203, 20}, {98, 20},  {98, 21},  {203, 21},  // bottom, one pixel longer
      {203, 11}, {202, 11}, {202, 20}, {203, 20},  // right
  };
  ASSERT_EQ(vertices.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(vertices[i].x, expected[i].first) << i;
    EXPECT_EQ(vertices[i].y, expected[i].second) << i;
    EXPECT_EQ(vertices[i].u, 0.25f);
  }
}

TEST(DrawFrame, ADegenerateRectangleStillCoversTwoByTwoPixels) {
  GlRecorder gl;
  draw_frame(gl, 10, 10, 10, 10);
  float min_x = 1e9f, max_x = -1e9f, min_y = 1e9f, max_y = -1e9f;
  for (const GlVertex& vertex : gl.Primitives()[0].vertices) {
    min_x = std::min(min_x, vertex.x);
    max_x = std::max(max_x, vertex.x);
    min_y = std::min(min_y, vertex.y);
    max_y = std::max(max_y, vertex.y);
  }
  EXPECT_EQ(max_x - min_x, 1.0f);
  EXPECT_EQ(max_y - min_y, 1.0f);
}

TEST(DrawLine3, OuterMiddleOuterColoursAndTheOuterStaysCurrent) {
  GlRecorder gl;
  const Colour outer{0.1f, 0.2f, 0.3f, 0.4f};
  const Colour middle{1.0f, 0.9f, 0.8f, 0.7f};
  draw_line3(gl, 1, 2, 3, 4, 5, 6, outer, middle);
  const RecordedPrimitive& strip = gl.Primitives()[0];
  EXPECT_EQ(strip.primitive, Primitive::LineStrip);
  ASSERT_EQ(strip.vertices.size(), 3u);
  EXPECT_EQ(strip.vertices[0].colour, outer);
  EXPECT_EQ(strip.vertices[1].colour, middle);
  EXPECT_EQ(strip.vertices[2].colour, outer);
  EXPECT_EQ(strip.vertices[2].x, 5.0f);
  EXPECT_EQ(strip.vertices[2].y, 6.0f);
  EXPECT_EQ(gl.CurrentColour(), outer);
}

TEST(DrawHelpers, ChangeNoStateButTheirOwn) {
  GlRecorder gl;
  gl.Color(0.5f, 0.5f, 0.5f, 0.5f);
  gl.BindTexture(7);
  gl.BlendFunc(BlendFactor::SrcAlpha, BlendFactor::One);
  draw_quad(gl, 1, 1, 1);
  draw_beam(gl, 0, 0, 1, 1, 0, 1);
  draw_frame(gl, 0, 0, 1, 1);
  EXPECT_EQ(gl.CurrentColour(), (Colour{0.5f, 0.5f, 0.5f, 0.5f}));
  EXPECT_EQ(gl.BoundTexture(), 7u);
  EXPECT_EQ(gl.Calls().size(), 2u);  // the test's own bind and blend
  for (const auto& primitive : gl.Primitives()) EXPECT_EQ(primitive.texture, 7u);
}

}  // namespace
