// What the game frame draws itself: the backdrop that starts every frame, the pause
// screen with its blurred still, and the overlays: title, game over and the HUD.

#include <string>

#include "game/game.h"
#include "render/draw.h"
#include "render/text.h"
#include "synth/dsp_math.h"

namespace {

constexpr Rgb kNormalFade{0.11f, 0.25f, 0.2f};
constexpr Rgb kGameOverFade{0.35f, 0.1f, 0.05f};

float Approach(float value, float target, float share) {
  return value + (target - value) * share;
}

}  // namespace

void Game::DrawBackdrop() {
  gl_->BlendFunc(BlendFactor::SrcAlpha, BlendFactor::OneMinusSrcAlpha);
  gl_->Disable(Capability::Texture2D);
  UpdateFadeColours();
  // Nothing clears the screen: this translucent quad dims what earlier frames left, so
  // everything that moves leaves a trail.
  const Rgb& fade = state.fade_colour;
  gl_->Color(fade.r, fade.g, fade.b, 0.75f);
  draw_quad(*gl_, screen_width * 0.5f, screen_height * 0.5f, screen_width * 0.5f);

  gl_->Color(0.0f, 0.8f, 1.0f, 1.0f);
  gl_->Enable(Capability::Texture2D);
  gl_->ActiveTexture0();
  gl_->BindTexture(textures.sprites.shade);
  gl_->BlendFunc(BlendFactor::SrcAlpha, BlendFactor::One);
  draw_quad(*gl_, screen_width * 0.5f, screen_height * 0.5f, screen_width * 0.75f);
  gl_->BlendFunc(BlendFactor::SrcAlpha, BlendFactor::OneMinusSrcAlpha);

  DrawBackgroundLayers();
  gl_->BindTexture(textures.sprites.shade);
  gl_->Color(1.0f, 1.0f, 1.0f, 1.0f);
}

// After game over the screen turns from the white flash to a dull red, and the red
// itself creeps back toward the normal teal.
void Game::UpdateFadeColours() {
  Rgb& fade = state.fade_colour;
  Rgb& target = state.fade_target;
  if (!state.game_over) {
    fade = kNormalFade;
    target = kGameOverFade;
    return;
  }
  fade = {Approach(fade.r, target.r, 0.01f), Approach(fade.g, target.g, 0.1f),
          Approach(fade.b, target.b, 0.1f)};
  target = {Approach(target.r, kNormalFade.r, 0.001f), Approach(target.g, kNormalFade.g, 0.001f),
            Approach(target.b, kNormalFade.b, 0.001f)};
}

// Two layers cross-fade when a wave brings a new picture; they shift against the
// ship's position by a hundredth of it, and the second is turned by 180 degrees.
void Game::DrawBackgroundLayers() {
  state.bg_mix = Approach(state.bg_mix, state.bg_mix_target, 0.05f);
  const ship& s = world->player_ship;
  const float x = screen_width * 0.5f - 0.01f * s.x;
  const float y = 300.0f - 0.01f * s.y;
  gl_->BindTexture(textures.background_texture_a);
  gl_->Color(0.01f, 0.05f, 0.1f, 0.15f * state.bg_mix);
  draw_quad(*gl_, x, y, 400.0f);
  if (state.bg_mix < 1.0f) {
    gl_->BindTexture(textures.background_texture_b);
    gl_->Color(0.01f, 0.05f, 0.1f, 0.15f * (1.0f - state.bg_mix));
    draw_quad(*gl_, x, y, -400.0f);
  }
}

void Game::DrawPauseScreen() {
  if (textures.pause_texture != 0) {
    gl_->BindTexture(textures.pause_texture);
    gl_->Color(1.0f, 1.0f, 1.0f, 1.0f);
    gl_->BlendFunc(BlendFactor::SrcAlpha, BlendFactor::OneMinusSrcAlpha);
    draw_quad(*gl_, screen_width * 0.5f + 1.0f, screen_height * 0.5f - 1.0f, screen_width * 0.5f);
  }
  draw_text(*gl_, textures.font_texture, "P A U S E D", screen_width * 0.5f - 88.0f,
            screen_height - 40.0f, 2.0f);
  if (platform.MouseClickCount(1)) {
    gl_->DeleteTexture(textures.pause_texture);
    textures.pause_texture = 0;
    state.paused = false;
  }
}

// The still holds the frame as drawn so far: backdrop and world, not yet the texts.
void Game::EnterPause() {
  textures.pause_texture = make_pause_texture(*gl_, *snapshot_pixmap, *snapshot_scratch_pixmap);
  state.paused = true;
}

void Game::LeavePause() {
  gl_->DeleteTexture(textures.pause_texture);
  textures.pause_texture = 0;
  state.paused = false;
}

// The game-over texts while the shield is gone, the HUD during a game, else the title.
void Game::DrawOverlay() {
  if (state.game_over) {
    WindDownDrain();
    DrawGameOverScreen();
    ClearAfterGameOver();
  } else if (state.playing) {
    DrawHud();
  } else {
    DrawTitleScreen();
  }
}

namespace {

// Alphas that pulse with the clock, whose sine and cosine take degrees: a period of 1.8
// seconds for the prompts and 3.6 for the game-over texts.
float prompt_alpha(int32_t millis) {
  return static_cast<float>(0.5 + 0.25 * dsp::SinDeg(millis * 0.2));
}

float game_over_alpha(int32_t millis) {
  return static_cast<float>(0.65 + 0.15 * dsp::CosDeg(millis * 0.1));
}

}  // namespace

// No colour is set first: the word takes whatever the last drawn object left, so over
// the moving swarm it changes colour from frame to frame.
void Game::DrawTitleWord() {
  draw_text(*gl_, textures.font_texture, "v E l u N k a", screen_width * 0.5f - 156,
            screen_height * 0.4f, 3);
}

void Game::DrawTitleScreen() {
  DrawTitleWord();
  gl_->Color(0.5f, 1, 1, prompt_alpha(platform.ClockMillis()));
  draw_text(*gl_, textures.font_texture, "CLICK MOUSE TO START", screen_width * 0.5f - 120,
            screen_height * 0.5f, 1.5f);
}

void Game::DrawGameOverScreen() {
  DrawTitleWord();
  gl_->Color(0.5f, 1, 1, game_over_alpha(platform.ClockMillis()));
  draw_text(*gl_, textures.font_texture, "GAME OVER", screen_width * 0.5f - 39,
            screen_height * 0.5f - 130, 1);
  const std::string score_line = "WAVE:" + std::to_string(state.final_wave) + "   SCORE: $" +
                                 std::to_string(state.final_score);
  draw_text(*gl_, textures.font_texture, score_line,
            screen_width * 0.5f - 4 * static_cast<float>(score_line.size()),
            screen_height * 0.5f - 115, 1);
  gl_->Color(0.5f, 1, 1, prompt_alpha(platform.ClockMillis()));
  draw_text(*gl_, textures.font_texture, "CLICK MOUSE TO RESTART", screen_width * 0.5f - 129,
            screen_height * 0.5f, 1.5f);
}

// A band across the top, opaque dark blue at the edge and fading out downward, with the
// score, the shield and weapon bars and the wave.
void Game::DrawHud() {
  gl_->Disable(Capability::Texture2D);
  gl_->Begin(Primitive::Quads);
  gl_->Color(0.1f, 0.15f, 0.3f, 1.0f);
  gl_->Vertex(screen_width, 0);
  gl_->Vertex(0, 0);
  gl_->Color(0.2f, 0.33f, 0.3f, 0.0f);
  gl_->Vertex(0, 80);
  gl_->Vertex(screen_width, 80);
  gl_->End();

  const ship& s = world->player_ship;
  gl_->Color(1, 1, 1, 1);
  gl_->Enable(Capability::Texture2D);
  const TextureName font = textures.font_texture;
  draw_text(*gl_, font, "$" + std::to_string(s.score), 4, 9, 1);
  draw_text(*gl_, font, "S:", 83, 9, 1);
  draw_text(*gl_, font, "WEAPON:" + std::to_string(static_cast<int32_t>(s.weapon + 1.0f)), 228, 9,
            1);
  draw_text(*gl_, font, "WAVE:" + std::to_string(state.wave), 428, 9, 1);
  DrawHudBars();
}

// The shield bar is 100 pixels at full shield; the weapon bar shows the way to the next
// level, turning from blue toward white as it nears. Texturing stays off afterwards.
void Game::DrawHudBars() {
  gl_->Disable(Capability::Texture2D);
  draw_frame(*gl_, 98, 11, 202, 20);
  draw_frame(*gl_, 298, 11, 402, 20);
  const ship& s = world->player_ship;
  gl_->Color(1.0f, 0.5f, 0.2f, 1.0f);
  draw_beam(*gl_, 100, 16, 100 + 100 * s.shield, 16, 0, 3);
  const float f = s.weapon - static_cast<float>(static_cast<int32_t>(s.weapon));
  gl_->Color(0.8f * f, 0.5f + 0.5f * f, 0.8f + 0.2f * f, 1.0f);
  draw_beam(*gl_, 300, 16, 300 + 100 * f, 16, 0, 3);
}
