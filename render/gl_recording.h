#pragma once
// A recording of what the game drew, complete enough to draw it again on any back end:
// the textures and state that existed when the recording began, then every call in
// order, with the pixels of every texture upload. Texture names are the recorder's;
// a replay maps them to the names the target hands out.

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "render/gl.h"

struct RecordedPrimitive {
  Primitive primitive;
  TextureName texture;  // bound when the primitive began
  bool textured;        // texturing enabled when the primitive began
  std::vector<GlVertex> vertices;
};

struct RecordedTexture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // RGBA, top row first as uploaded
};

// The state a recording starts from, as the game had set it by then.
struct GlStartState {
  std::map<TextureName, RecordedTexture> textures;
  std::array<bool, 4> enabled{};
  BlendFactor blend_source = BlendFactor::One;
  BlendFactor blend_destination = BlendFactor::Zero;
  float line_width = 1.0f;
  TextureName bound_texture = 0;
  int projection_width = 0;  // 0: no projection was set
  int projection_height = 0;
  bool alpha_test_not_zero = false;
};

struct GlCommand {
  enum class Kind : uint8_t {
    Primitive,        // index: into primitives
    Enable,           // capability
    Disable,          // capability
    BlendFunc,        // source, destination
    LineWidth,        // value
    PixelProjection,  // width, height
    AlphaTestNotZero,
    Clear,  // colour
    ActiveTexture0,
    BindTexture,    // texture
    GenTexture,     // texture: the name the recorder handed out
    TexImage,       // index: into uploads
    DeleteTexture,  // texture
    ReadPixels,     // width, height
    FrameDone,
  };
  explicit GlCommand(Kind what) : kind(what) {}

  Kind kind;
  Capability capability = Capability::Texture2D;
  BlendFactor source = BlendFactor::One;
  BlendFactor destination = BlendFactor::Zero;
  uint32_t index = 0;
  TextureName texture = 0;
  int width = 0, height = 0;
  float value = 0.0f;
  Colour colour;
};

struct GlRecording {
  GlStartState start;
  std::vector<GlCommand> commands;
  std::vector<RecordedPrimitive> primitives;
  std::vector<RecordedTexture> uploads;

  int FrameCount() const;
};

// Draws a recording on a target: first the starting textures and state, then one frame
// (everything up to and including the next FrameDone) at a time.
class GlReplayer {
 public:
  GlReplayer(const GlRecording& recording, Gl& target);

  // Makes the starting textures and sets the starting state. Call once, first.
  void SetUp();
  // Replays the next frame; false when the recording has no frame left.
  bool ReplayFrame();
  // Replays every frame left.
  void ReplayAll();

 private:
  void Replay(const GlCommand& command);
  void ReplayPrimitive(const RecordedPrimitive& primitive);
  TextureName Target(TextureName recorded) const;

  const GlRecording& recording_;
  Gl& target_;
  size_t next_ = 0;
  std::map<TextureName, TextureName> names_;
  std::vector<uint8_t> read_back_;
};
