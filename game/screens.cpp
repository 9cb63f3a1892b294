// What the game frame draws itself: the backdrop that starts every frame and the pause
// screen with its blurred still.

#include "game/game.h"
#include "render/draw.h"
#include "render/text.h"

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
