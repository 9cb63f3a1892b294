#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "render/gl_recorder.h"
#include "render/textures.h"
#include "tests/render/reference_blur.h"

namespace {

bool same_pixels(const RecordedTexture& texture, const TPixmap& pixmap) {
  return texture.width == pixmap.Width() && texture.height == pixmap.Height() &&
         std::memcmp(texture.pixels.data(), pixmap.PixelPtr(0, 0), texture.pixels.size()) == 0;
}

TEST(MakeTexture, UploadsThePixmapAndLeavesItBound) {
  GlRecorder gl;
  TPixmap pixmap = TPixmap::Create(3, 2);
  pixmap.WritePixel(2, 1, 0x80112233);
  const TextureName name = make_texture(gl, pixmap);
  EXPECT_NE(name, 0u);
  EXPECT_EQ(gl.BoundTexture(), name);
  const std::vector<std::string> expected = {"GenTexture " + std::to_string(name),
                                             "BindTexture " + std::to_string(name),
                                             "TexImageRgba 3x2"};
  EXPECT_EQ(gl.Calls(), expected);
  ASSERT_EQ(gl.LiveTextures().count(name), 1u);
  EXPECT_TRUE(same_pixels(gl.LiveTextures().at(name), pixmap));
}

TEST(MakeTexture, ReplaceDeletesTheOldTexture) {
  GlRecorder gl;
  const TPixmap pixmap = TPixmap::Create(4, 4);
  TextureName slot = 0;
  replace_texture(gl, slot, pixmap);
  const TextureName first = slot;
  EXPECT_NE(first, 0u);
  EXPECT_EQ(gl.LiveTextures().size(), 1u);

  replace_texture(gl, slot, pixmap);
  EXPECT_NE(slot, first);
  EXPECT_EQ(gl.LiveTextures().count(first), 0u);
  EXPECT_EQ(gl.LiveTextures().count(slot), 1u);
  EXPECT_EQ(gl.BoundTexture(), slot);
}

TEST(MakeTexture, SpritesAreMadeShipShadeGlowRing) {
  GlRecorder gl;
  const SpriteTextures sprites = make_sprite_textures(gl);
  EXPECT_LT(sprites.ship, sprites.shade);
  EXPECT_LT(sprites.shade, sprites.glow);
  EXPECT_LT(sprites.glow, sprites.ring);
  const auto& live = gl.LiveTextures();
  ASSERT_EQ(live.size(), 4u);
  EXPECT_TRUE(same_pixels(live.at(sprites.ship), make_ship_pixmap()));
  EXPECT_TRUE(same_pixels(live.at(sprites.shade), make_shade_pixmap()));
  EXPECT_TRUE(same_pixels(live.at(sprites.glow), make_glow_pixmap()));
  EXPECT_TRUE(same_pixels(live.at(sprites.ring), make_ring_pixmap()));
}

}  // namespace

namespace {

reference::Image bytes_of(const TPixmap& pixmap) {
  const uint8_t* begin = pixmap.PixelPtr(0, 0);
  return reference::Image(begin, begin + size_t(pixmap.Width()) * pixmap.Height() * 4);
}

reference::Image flip_rows(const reference::Image& image, int width, int height) {
  reference::Image flipped(image.size());
  const size_t row = size_t(width) * 4;
  for (int y = 0; y < height; ++y) {
    std::memcpy(&flipped[y * row], &image[(height - 1 - y) * row], row);
  }
  return flipped;
}

TEST(PauseTexture, IsTheFrameBlurredTwiceAndTurnedUpright) {
  const int width = 30;
  const int height = 20;
  // Frame rows come bottom first: a bright band near the bottom of the screen.
  reference::Image frame(size_t(width) * height * 4, 0);
  for (size_t i = 0; i < size_t(width) * 2 * 4; ++i) frame[i] = 240;
  for (size_t i = 0; i < frame.size(); i += 4) frame[i] = uint8_t(frame[i] + i % 7);

  GlRecorder gl;
  gl.SetFrameForReadPixels(frame);
  TPixmap snapshot = TPixmap::Create(width, height);
  TPixmap scratch = TPixmap::Create(width, height);
  const TextureName name = make_pause_texture(gl, snapshot, scratch);

  const reference::Image blurred =
      reference::blur(reference::blur(frame, width, height, 4), width, height, 4);
  const reference::Image expected = flip_rows(blurred, width, height);
  EXPECT_EQ(bytes_of(snapshot), expected);
  ASSERT_EQ(gl.LiveTextures().count(name), 1u);
  const RecordedTexture& texture = gl.LiveTextures().at(name);
  EXPECT_EQ(texture.width, width);
  EXPECT_EQ(texture.height, height);
  EXPECT_EQ(texture.pixels, expected);
  EXPECT_EQ(gl.BoundTexture(), name);
  EXPECT_EQ(gl.Calls().front(), "ReadPixels");
  // The band is at the bottom of the upright picture and the middle is dark; the top
  // row sees the band too, because the blur wraps past the last row to the first.
  EXPECT_GT(snapshot.ReadPixel(10, 19) >> 24, 0u);
  EXPECT_EQ(snapshot.ReadPixel(10, 9) >> 24, 0u);
  EXPECT_GT(snapshot.ReadPixel(10, 0) >> 24, 0u);
}

}  // namespace
