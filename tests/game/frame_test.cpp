// The game frame driven headless: scripted input, a controlled clock, silent audio and
// a recorder in place of OpenGL.

#include <algorithm>

#include "headless_game.h"

namespace {

TEST_F(HeadlessGame, EscapeHeldBeforeTheFirstFrameDrawsNothing) {
  platform.Input().KeyDown(key::kEscape);
  EXPECT_EQ(game.Run(), 0);
  EXPECT_EQ(platform.FramesPresented(), 0);
  EXPECT_EQ(recorder->VertexCount(), 0);
}

TEST_F(HeadlessGame, ClosingTheWindowEndsTheRunAfterTheFrameInProgress) {
  StartUp();
  game.RunFrame();
  platform.Input().RequestClose();
  EXPECT_TRUE(game.QuitRequested());
  EXPECT_FALSE(game.QuitRequested());  // the request is taken once
}

TEST_F(HeadlessGame, StartUpOpensTheWindowAndSetsTheRunWideState) {
  ASSERT_TRUE(game.StartUp());
  EXPECT_TRUE(platform.GraphicsOpen());
  EXPECT_EQ(platform.AppTitleText, "V E L U N K A     [v0.2]");
  EXPECT_TRUE(recorder->IsEnabled(Capability::AlphaTest));
  EXPECT_TRUE(recorder->IsEnabled(Capability::Blend));
  EXPECT_TRUE(recorder->IsEnabled(Capability::Texture2D));
  EXPECT_FALSE(recorder->IsEnabled(Capability::DepthTest));
  const auto& calls = recorder->Calls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "PixelProjection 700 700"), calls.end());
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "Clear"), 1);
  EXPECT_EQ(calls.back(), "Clear");  // after every texture: the only clear of the run
}

TEST_F(HeadlessGame, TheBackdropFadesWithATranslucentQuadOverTheWholeWindow) {
  StartUp();
  game.RunFrame();
  const RecordedPrimitive& fade = recorder->Primitives().at(0);
  EXPECT_FALSE(fade.textured);
  const std::vector<std::pair<float, float>> corners = {{700, 0}, {0, 0}, {0, 700}, {700, 700}};
  ASSERT_EQ(fade.vertices.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(fade.vertices[i].x, corners[i].first);
    EXPECT_EQ(fade.vertices[i].y, corners[i].second);
    EXPECT_EQ(fade.vertices[i].colour, (Colour{0.11f, 0.25f, 0.2f, 0.75f}));
  }
  const RecordedPrimitive& glow = recorder->Primitives().at(1);
  EXPECT_TRUE(glow.textured);
  EXPECT_EQ(glow.texture, game.textures.sprites.shade);
  EXPECT_EQ(glow.vertices[0].x, 350.0f + 525.0f);
  EXPECT_EQ(glow.vertices[0].colour, (Colour{0.0f, 0.8f, 1.0f, 1.0f}));
  // The world drawing starts from normal blending, lines one pixel wide.
  EXPECT_EQ(recorder->CurrentBlend(),
            (std::array{BlendFactor::SrcAlpha, BlendFactor::OneMinusSrcAlpha}));
  EXPECT_EQ(recorder->CurrentLineWidth(), 1.0f);
}

TEST_F(HeadlessGame, TheFirstFrameStartsAWaveAndCrossFadesToTheNewBackground) {
  StartUp();
  const TextureName old_b = game.textures.background_texture_b;
  game.RunFrame();
  EXPECT_EQ(game.state.wave, 2);
  EXPECT_EQ(game.state.wave_phase, WavePhase::fighting);
  EXPECT_EQ(game.state.bg_mix_target, 0.0f);
  EXPECT_NE(game.textures.background_texture_b, old_b);
  EXPECT_EQ(recorder->LiveTextures().count(old_b), 0u);  // the replaced picture is released
  // Layer A drawn at 0.15 x bg_mix; layer B, turned round, once bg_mix has left 1.
  game.RunFrame();
  const auto layer_b = QuadsWith(game.textures.background_texture_b);
  ASSERT_FALSE(layer_b.empty());
  EXPECT_LT(layer_b.back().vertices[0].x, layer_b.back().vertices[1].x);  // half-side -400
}

TEST_F(HeadlessGame, NewWavesDoNotPileUpTextures) {
  StartUp();
  const size_t textures_after_start_up = recorder->LiveTextures().size();
  for (int wave = 0; wave < 6; ++wave) {
    game.state.wave_phase = WavePhase::starting;
    game.RunFrame();
  }
  EXPECT_EQ(recorder->LiveTextures().size(), textures_after_start_up);
}

TEST_F(HeadlessGame, PauseShowsABlurredStillUntilAClick) {
  StartUp();
  game.RunFrame();
  platform.Input().KeyDown(key::kP);
  game.RunFrame();
  ASSERT_TRUE(game.state.paused);
  const TextureName still = game.textures.pause_texture;
  ASSERT_NE(still, 0u);
  EXPECT_EQ(recorder->LiveTextures().at(still).width, 700);

  recorder->ClearRecords();
  game.RunFrame();
  const auto quads = QuadsWith(still);
  ASSERT_EQ(quads.size(), 1u);
  EXPECT_EQ(quads[0].vertices[1].x, 1.0f);   // one pixel right of where it was taken
  EXPECT_EQ(quads[0].vertices[1].y, -1.0f);  // and one pixel up
  EXPECT_TRUE(game.state.paused);

  platform.Input().KeyUp(key::kP);
  platform.Input().ButtonDown(1);
  game.RunFrame();
  EXPECT_FALSE(game.state.paused);
  EXPECT_EQ(game.textures.pause_texture, 0u);
  EXPECT_EQ(recorder->LiveTextures().count(still), 0u);
}

TEST_F(HeadlessGame, PausingTwiceMakesANewStillAndReleasesTheFirst) {
  StartUp();
  TextureName first = 0;
  for (int press = 0; press < 3; ++press) {
    platform.Input().KeyDown(key::kP);
    game.RunFrame();
    platform.Input().KeyUp(key::kP);
    if (press == 0) first = game.textures.pause_texture;
  }
  EXPECT_TRUE(game.state.paused);
  EXPECT_NE(game.textures.pause_texture, first);
  EXPECT_EQ(recorder->LiveTextures().count(first), 0u);
}

TEST_F(HeadlessGame, TheWaveCycleRunsWhilePaused) {
  StartUp();
  platform.Input().KeyDown(key::kP);
  game.RunFrame();
  EXPECT_EQ(game.state.wave, 2);
  game.state.wave_phase = WavePhase::starting;
  game.RunFrame();
  EXPECT_EQ(game.state.wave, 3);
  EXPECT_EQ(game.state.bg_mix_target, 1.0f);
}

TEST_F(HeadlessGame, TheWaveClockStandsStillWhilePaused) {
  StartUp();
  game.RunFrame();  // a wave starts: the clock is reset at the end of the frame
  game.RunFrame();
  EXPECT_FLOAT_EQ(game.world->wave_clock, 0.001f);
  platform.Input().KeyDown(key::kP);
  game.RunFrame();  // the world still moved in the frame the pause began
  game.RunFrame();
  EXPECT_FLOAT_EQ(game.world->wave_clock, 0.002f);
}

TEST_F(HeadlessGame, ShutDownReleasesTheSpritesAndTheFont) {
  StartUp();
  game.RunFrame();
  const auto sprites = game.textures.sprites;
  game.ShutDown();
  for (TextureName name :
       {sprites.ship, sprites.shade, sprites.glow, sprites.ring, game.textures.font_texture}) {
    EXPECT_EQ(recorder->LiveTextures().count(name), 0u) << name;
  }
  EXPECT_FALSE(recorder->IsEnabled(Capability::Texture2D));
}

TEST_F(HeadlessGame, ManyFramesRunWithoutAWindow) {
  StartUp();
  for (int frame = 0; frame < 300; ++frame) game.RunFrame();
  EXPECT_EQ(platform.FramesPresented(), 300);
  EXPECT_GT(recorder->VertexCount(), 300 * 4);
}

}  // namespace
