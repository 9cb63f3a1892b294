#pragma once
// The game driven headless: scripted input, a clock that advances a frame at a time,
// silent or loopback audio and a recorder in place of OpenGL.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/headless_platform.h"
#include "render/gl_recorder.h"

// One run of text as draw_text laid it out, read back from the recorded glyph quads.
struct DrawnText {
  std::string text;
  float x, y;
  Colour colour;
};

// Glyph quads in a row become one text, with blanks where up to three cells were
// skipped; anything else starts another text.
inline std::vector<DrawnText> TextsIn(const std::vector<RecordedPrimitive>& primitives,
                                      TextureName font) {
  std::vector<DrawnText> texts;
  float pen = 0, advance = 0;
  for (const auto& quad : primitives) {
    if (!quad.textured || quad.texture != font || quad.vertices.size() != 4) continue;
    const GlVertex& top_left = quad.vertices[0];
    const float cell = quad.vertices[2].x - top_left.x;
    const char code = static_cast<char>(std::lround(top_left.u * 90) + 33);
    const float skipped = (top_left.x - pen) / cell;
    const bool same_run = !texts.empty() && texts.back().y == top_left.y && cell == advance &&
                          skipped >= 0 && skipped <= 3 && skipped == std::round(skipped);
    if (!same_run) {
      texts.push_back({"", top_left.x, top_left.y, top_left.colour});
    } else {
      for (float gap = pen; gap < top_left.x; gap += cell) texts.back().text += ' ';
    }
    texts.back().text += code;
    pen = top_left.x + cell;
    advance = cell;
  }
  return texts;
}

class HeadlessGame : public ::testing::Test {
 protected:
  explicit HeadlessGame(HeadlessPlatform::Audio audio = HeadlessPlatform::Audio::Silent)
      : platform(audio), game(platform, [this] {
          auto gl = std::make_unique<GlRecorder>();
          recorder = gl.get();
          return gl;
        }) {}

  void StartUp() {
    ASSERT_TRUE(game.StartUp());
    recorder->ClearRecords();
  }

  // Start-up, then a click on the title screen: wave 1 is under way after one frame.
  void StartGame() {
    StartUp();
    Click();
    Frame();
  }

  // One frame, with only its own drawing left in the recorder.
  void Frame() {
    recorder->ClearRecords();
    game.RunFrame();
  }

  void Frames(int count) {
    for (int i = 0; i < count; ++i) Frame();
  }

  // Button 1 pressed and let go before the next frame.
  void Click() {
    platform.Input().ButtonDown(1);
    platform.Input().ButtonUp(1);
  }

  void Press(int key) {
    platform.Input().KeyDown(key);
    platform.Input().KeyUp(key);
  }

  // The textured quads drawn with the given texture, in order.
  std::vector<RecordedPrimitive> QuadsWith(TextureName texture) const {
    std::vector<RecordedPrimitive> found;
    for (const auto& primitive : recorder->Primitives()) {
      if (primitive.textured && primitive.texture == texture) found.push_back(primitive);
    }
    return found;
  }

  std::vector<DrawnText> Texts() const {
    return TextsIn(recorder->Primitives(), game.textures.font_texture);
  }

  bool Shows(const std::string& text) const {
    for (const auto& drawn : Texts()) {
      if (drawn.text == text) return true;
    }
    return false;
  }

  World& world() { return *game.world; }
  ship& player() { return game.world->player_ship; }

  HeadlessPlatform platform;
  GlRecorder* recorder = nullptr;
  Game game;
};
