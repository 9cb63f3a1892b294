// The batching rules on their own: which state changes start a new draw, which do not,
// that order and whole primitives are kept, and the two savings that leave pixels alone.

#include "render/gl_batch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/textures.h"

namespace {

class Batching : public ::testing::Test {
 protected:
  Batching() {
    inputs.texturing = true;
    inputs.texture = 7;
    inputs.blending = true;
    inputs.source = BlendFactor::SrcAlpha;
    inputs.destination = BlendFactor::OneMinusSrcAlpha;
    inputs.alpha_test = true;
  }

  // A square as draw_quad sends it, in the given colour.
  void Quad(float x, float y, float r, Colour colour = {0.5f, 0.5f, 0.5f, 1.0f}) {
    builder.Begin(Primitive::Quads, inputs);
    builder.Vertex({x + r, y - r, 1, 0, colour});
    builder.Vertex({x - r, y - r, 0, 0, colour});
    builder.Vertex({x - r, y + r, 0, 1, colour});
    builder.Vertex({x + r, y + r, 1, 1, colour});
    builder.End();
  }

  void Line(Primitive primitive, int vertices) {
    builder.Begin(primitive, inputs);
    for (int i = 0; i < vertices; ++i) builder.Vertex({float(i), float(i), 0, 0, {}});
    builder.End();
  }

  const std::vector<BatchDraw>& Draws() const { return builder.Draws(); }

  BatchBuilder::Inputs inputs;
  BatchBuilder builder;
};

TEST_F(Batching, BallsSwitchingBetweenTheTwoBlendFunctionsShareOneDraw) {
  for (int ball = 0; ball < 3; ++ball) {
    inputs.destination = BlendFactor::One;
    Quad(100.0f + ball, 100, 20);
    inputs.destination = BlendFactor::OneMinusSrcAlpha;
    Quad(100.0f + ball, 100, 5);
  }
  ASSERT_EQ(Draws().size(), 1u);
  EXPECT_EQ(Draws()[0].state.blend, BlendMode::Dual);
  ASSERT_EQ(Draws()[0].count, 24u);
  // Each vertex carries its own destination factor; order is as drawn.
  for (int quad = 0; quad < 6; ++quad) {
    const BatchVertex& first = builder.Vertices()[quad * 4];
    EXPECT_EQ(first.keep, quad % 2 == 0 ? 0.0f : 1.0f) << quad;
    EXPECT_EQ(first.x, 100.0f + quad / 2 + (quad % 2 == 0 ? 20 : 5)) << quad;
  }
}

TEST_F(Batching, ChangesThatAlterTheResultStartANewDraw) {
  Quad(10, 10, 5);
  inputs.texture = 8;  // another texture for a textured primitive
  Quad(10, 10, 5);
  inputs.source = BlendFactor::One;  // a pair outside the two
  inputs.destination = BlendFactor::Zero;
  Quad(10, 10, 5);
  inputs.blending = false;
  Quad(10, 10, 5);
  inputs.alpha_test = false;
  Quad(10, 10, 5);
  inputs.texturing = false;
  Quad(10, 10, 5);
  ASSERT_EQ(Draws().size(), 6u);
  EXPECT_EQ(Draws()[1].state.texture, 8u);
  EXPECT_EQ(Draws()[2].state.blend, BlendMode::Plain);
  EXPECT_EQ(Draws()[2].state.destination, BlendFactor::Zero);
  EXPECT_EQ(Draws()[3].state.blend, BlendMode::Off);
  EXPECT_FALSE(Draws()[4].state.alpha_test);
  EXPECT_FALSE(Draws()[5].state.textured);
  for (size_t i = 0; i < Draws().size(); ++i) EXPECT_EQ(Draws()[i].first, 4 * i);
}

TEST_F(Batching, ChangesThatDoNotMatterKeepTheDraw) {
  inputs.texturing = false;
  Quad(10, 10, 5);
  inputs.texture = 8;     // bound, but texturing is off
  inputs.line_width = 3;  // quads have no line width
  Quad(20, 10, 5);
  inputs.destination = BlendFactor::One;
  Quad(30, 10, 5);
  ASSERT_EQ(Draws().size(), 1u);
  EXPECT_EQ(Draws()[0].count, 12u);
}

TEST_F(Batching, LinesMergeOnlyWithLinesOfTheSameWidth) {
  inputs.texturing = false;
  Line(Primitive::Lines, 2);
  Line(Primitive::Lines, 2);
  Quad(10, 10, 5);
  Line(Primitive::Lines, 2);
  inputs.line_width = 3;
  Line(Primitive::Lines, 2);
  Line(Primitive::LineStrip, 3);
  Line(Primitive::LineStrip, 3);
  ASSERT_EQ(Draws().size(), 6u);
  EXPECT_EQ(Draws()[0].count, 4u);
  EXPECT_EQ(Draws()[1].state.primitive, Primitive::Quads);
  EXPECT_EQ(Draws()[3].state.line_width, 3.0f);
  EXPECT_EQ(Draws()[4].state.primitive, Primitive::LineStrip);
  EXPECT_EQ(Draws()[5].first, Draws()[4].first + 3);
}

TEST_F(Batching, OnlyWholePrimitivesAreKept) {
  builder.Begin(Primitive::Quads, inputs);
  for (int i = 0; i < 6; ++i) builder.Vertex({float(i), 0, 0, 0, {}});
  builder.End();
  Line(Primitive::Lines, 3);
  Line(Primitive::LineStrip, 1);
  Quad(50, 50, 5);
  ASSERT_EQ(Draws().size(), 3u);
  EXPECT_EQ(Draws()[0].count, 4u);
  EXPECT_EQ(Draws()[1].count, 2u);
  EXPECT_EQ(Draws()[2].first, 6u);  // the square after them starts where they end
  EXPECT_EQ(builder.Vertices()[6].x, 55.0f);
}

TEST_F(Batching, VertexColoursAreClampedToTheUnitRange) {
  Quad(10, 10, 5, {-0.3f, 1.7f, 0.25f, 2.0f});
  const BatchVertex& v = builder.Vertices()[0];
  EXPECT_EQ(v.r, 0.0f);
  EXPECT_EQ(v.g, 1.0f);
  EXPECT_EQ(v.b, 0.25f);
  EXPECT_EQ(v.a, 1.0f);
}

TEST_F(Batching, APrimitiveWhoseAlphaRoundsToZeroIsLeftOutOnlyWhereItChangesNothing) {
  Quad(10, 10, 5, {1, 1, 1, 0.0003f});  // a settled background layer
  Quad(10, 10, 5, {1, 1, 1, -0.5f});
  EXPECT_TRUE(builder.Empty());
  Quad(10, 10, 5, {1, 1, 1, 1.0f / 255.0f});
  EXPECT_EQ(Draws().size(), 1u);
  inputs.source = BlendFactor::One;  // the colour counts whatever the alpha
  Quad(10, 10, 5, {1, 1, 1, 0.0003f});
  inputs.blending = false;
  Quad(10, 10, 5, {1, 1, 1, 0.0f});
  EXPECT_EQ(Draws().size(), 3u);
}

// What linear filtering with repeat wrapping reads at (u, v): the largest alpha of the
// texels it weighs.
int FilteredAlphaReach(const TPixmap& pixmap, float u, float v) {
  const int w = pixmap.Width(), h = pixmap.Height();
  const float s = u * w - 0.5f, t = v * h - 0.5f;
  const int i0 = int(std::floor(s)), j0 = int(std::floor(t));
  int largest = 0;
  for (int j = j0; j <= j0 + 1; ++j) {
    for (int i = i0; i <= i0 + 1; ++i) {
      const uint32_t pixel = pixmap.ReadPixel(((i % w) + w) % w, ((j % h) + h) % h);
      largest = std::max(largest, int(pixel >> 24));
    }
  }
  return largest;
}

bool Inside(const TextureOutline& o, float u, float v) {
  return u >= o.u0 && u <= o.u1 && v >= o.v0 && v <= o.v1 && u + v >= o.sum0 && u + v <= o.sum1 &&
         u - v >= o.diff0 && u - v <= o.diff1;
}

TEST(TextureOutlines, NothingFilteringCanReadLiesOutsideTheOutline) {
  for (const TPixmap& sprite : {make_shade_pixmap(), make_glow_pixmap(), make_ring_pixmap()}) {
    const auto outline = outline_of(sprite.Width(), sprite.Height(),
                                    static_cast<const uint8_t*>(sprite.PixelPtr(0, 0)));
    ASSERT_TRUE(outline.has_value());
    int outside = 0;
    for (int y = 0; y <= 512; ++y) {
      for (int x = 0; x <= 512; ++x) {
        const float u = x / 512.0f, v = y / 512.0f;
        if (Inside(*outline, u, v)) continue;
        ++outside;
        ASSERT_EQ(FilteredAlphaReach(sprite, u, v), 0) << u << " " << v;
      }
    }
    EXPECT_GT(outside, 512 * 512 / 10);  // the corners really are cut
  }
}

TEST(TextureOutlines, ATextureOpaqueToItsEdgesHasNone) {
  TPixmap pixmap = TPixmap::Create(8, 8);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) pixmap.WritePixel(x, y, 0x80FFFFFF);
  }
  EXPECT_FALSE(outline_of(8, 8, static_cast<const uint8_t*>(pixmap.PixelPtr(0, 0))).has_value());
}

TEST_F(Batching, ALargeRoundSpriteBecomesItsOctagonOnTheSameMap) {
  const TPixmap shade = make_shade_pixmap();
  builder.SetOutline(7, outline_of(64, 64, static_cast<const uint8_t*>(shade.PixelPtr(0, 0))));
  Quad(300, 300, 20);  // a ball's halo: too small to gain
  EXPECT_EQ(builder.Vertices().size(), 4u);
  builder.Clear();
  Quad(300, 300, -150);  // large, and turned by 180 degrees
  ASSERT_EQ(builder.Vertices().size(), 12u);
  for (const BatchVertex& v : builder.Vertices()) {
    // draw_quad with r = -150 puts texture (0, 0) at (450, 450), u running left.
    EXPECT_NEAR(v.x, 450 - 300 * v.u, 1e-3);
    EXPECT_NEAR(v.y, 450 - 300 * v.v, 1e-3);
    EXPECT_EQ(v.r, 0.5f);
  }
  builder.ForgetTexture(7);
  builder.Clear();
  Quad(300, 300, 150);
  EXPECT_EQ(builder.Vertices().size(), 4u);
}

}  // namespace
