// Start-up with an embedded file that does not decode, substituted before start-up: the
// game starts all the same, as its loaders promise.

#include <gtest/gtest.h>

#include <vector>

#include "assets/embedded_assets.h"
#include "game/game.h"
#include "platform/headless_platform.h"
#include "render/gl_recorder.h"

namespace {

class SubstitutedFile : public ::testing::Test {
 protected:
  SubstitutedFile()
      : game(platform, [this] {
          auto gl = std::make_unique<GlRecorder>();
          recorder = gl.get();
          return gl;
        }) {
    register_embedded_assets(originals);
  }

  // The first bytes of an embedded file, cut where its version's fields still go on.
  std::vector<uint8_t> Truncated(const char* name, size_t size) const {
    const auto* bytes = originals.Find(name);
    return {bytes->begin(), bytes->begin() + long(size)};
  }

  EmbeddedFiles originals;
  HeadlessPlatform platform;
  GlRecorder* recorder = nullptr;
  Game game;
};

// A definition that does not load leaves the sound before it in place, which is
// rendered again and played under the failed name.
TEST_F(SubstitutedFile, ATruncatedSoundDefinitionKeepsThePreviousSound) {
  const std::vector<uint8_t> pop = Truncated("assets\\pop01.wkt", 100);
  game.files.RegisterEmbeddedFile("assets\\pop01.wkt", pop.data(), pop.size());
  ASSERT_TRUE(game.StartUp());
  const auto laser = game.audio.laser_sound->Frames();
  const auto popped = game.audio.pop_sound->Frames();
  const auto collect = game.audio.collect_sound->Frames();
  ASSERT_EQ(laser.size(), 41340u);
  EXPECT_TRUE(std::equal(laser.begin(), laser.end(), popped.begin(), popped.end()));
  EXPECT_EQ(collect.size(), 20000u);
}

TEST_F(SubstitutedFile, AFirstDefinitionThatFailsLeavesTheDefaultSound) {
  const std::vector<uint8_t> laser = Truncated("assets\\laser02.wkt", 40);
  game.files.RegisterEmbeddedFile("assets\\laser02.wkt", laser.data(), laser.size());
  ASSERT_TRUE(game.StartUp());
  EXPECT_EQ(game.audio.laser_sound->Frames().size(), 22050u);
  EXPECT_EQ(game.audio.pop_sound->Frames().size(), 10000u);
}

// Without a font the texture is 0 and text is not drawn at all (not as solid boxes).
TEST_F(SubstitutedFile, ACorruptFontStripGivesNoFontAndNoText) {
  std::vector<uint8_t> font = Truncated("font.png", originals.Find("font.png")->size());
  for (size_t i = 50; i < font.size(); i += 7) font[i] ^= 0xa5;
  game.files.RegisterEmbeddedFile("font.png", font.data(), font.size());
  ASSERT_TRUE(game.StartUp());
  EXPECT_EQ(game.textures.font_texture, 0u);
  platform.Input().KeyDown(key::kP);
  game.RunFrame();
  recorder->ClearRecords();
  game.RunFrame();  // the pause screen, with its "P A U S E D"
  ASSERT_TRUE(game.state.paused);
  for (const auto& primitive : recorder->Primitives()) {
    EXPECT_TRUE(!primitive.textured || primitive.texture != 0u);
  }
}

}  // namespace
