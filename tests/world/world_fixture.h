#pragma once
// A world of its own for each test: a recorder for the drawing, a seeded generator and
// sounds that are only written down.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/gl_recorder.h"
#include "world/world.h"

struct RecordedCue {
  std::string what;  // "pop", "collect", "drain rate" or "drain volume"
  int32_t slot;
  float value;  // pan, rate or volume
};

class RecordingSounds : public WorldSounds {
 public:
  void CuePop(int32_t slot, float pan) override { cues.push_back({"pop", slot, pan}); }
  void CueCollect(int32_t slot, float pan) override { cues.push_back({"collect", slot, pan}); }
  void SetDrainRate(float rate) override { cues.push_back({"drain rate", -1, rate}); }
  void SetDrainVolume(float volume) override { cues.push_back({"drain volume", -1, volume}); }
  int Count(const std::string& what) const {
    int n = 0;
    for (const auto& cue : cues) n += cue.what == what;
    return n;
  }
  std::vector<RecordedCue> cues;
};

inline constexpr SpriteTextures kSprites{.ship = 11, .shade = 12, .glow = 13, .ring = 14};

class WorldTest : public ::testing::Test {
 protected:
  // Texturing is on for the whole run, as the game sets it up.
  WorldTest() { gl.Enable(Capability::Texture2D); }

  // The textured primitives drawn with the texture, in order.
  std::vector<RecordedPrimitive> DrawnWith(TextureName texture) const {
    std::vector<RecordedPrimitive> found;
    for (const auto& primitive : gl.Primitives()) {
      if (primitive.textured && primitive.texture == texture) found.push_back(primitive);
    }
    return found;
  }

  // A calm ball that belongs to no item.
  ball& Ball(float x, float y, float size, float vx = 0, float vy = 0) {
    return ball::Create(world, x, y, vx, vy, size, 2 * size, nullptr);
  }

  // An item that has finished appearing and waits `timer` frames before its next ball.
  std::shared_ptr<item> ActiveItem(float x, float y, int32_t timer = 150) {
    auto made = item::Create(world, x, y, 0);
    made->appear = -0.05f;
    made->v.set(0, 0);
    made->timer = timer;
    return made;
  }

  GlRecorder gl;
  Random random;
  RecordingSounds sounds;
  World world{gl, random, sounds, kSprites};
};
