#pragma once
// The rules by which the batching back end merges the game's immediate-mode stream into
// few draws, kept apart from OpenGL so they can be checked on their own.
//
// Primitives join the previous draw when drawing them there gives the same pixels: the
// same texture (or no texturing), the same blending, the same alpha test. The two blend
// functions the game switches between around every ball, (source alpha, one) and
// (source alpha, one minus source alpha), share one draw: each vertex says which
// destination factor applies and dual-source blending picks it per fragment. Order is
// kept, so merging never reorders anything.
//
// Two savings that keep the pixels exactly: a primitive whose colour alpha rounds to 0 in
// the frame's 8 bits changes no pixel under either of those blend functions and is
// dropped, and a textured square whose texture is transparent in its corners (the round
// sprites, when drawn large) is drawn as an octagon that leaves out what linear
// filtering cannot reach.

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "render/gl.h"

enum class BlendMode : uint8_t {
  Off,    // blending disabled
  Dual,   // (source alpha, one) or (source alpha, one minus source alpha), chosen per vertex
  Plain,  // any other pair, as given
};

// What a draw sets up before it draws; primitives with equal states can share a draw.
struct DrawState {
  Primitive primitive = Primitive::Quads;
  bool textured = false;
  TextureName texture = 0;  // 0 unless textured
  BlendMode blend = BlendMode::Off;
  BlendFactor source = BlendFactor::One;  // Plain only
  BlendFactor destination = BlendFactor::Zero;
  bool alpha_test = false;  // discards fragments whose alpha is exactly 0
  float line_width = 0.0f;  // lines only
  bool operator==(const DrawState&) const = default;
};

struct BatchVertex {
  float x, y;
  float u, v;
  float r, g, b, a;  // clamped to [0, 1], as the fixed-function pipeline does
  float keep;        // 1: destination factor one minus source alpha; 0: one (Dual only)
};

struct BatchDraw {
  DrawState state;
  uint32_t first;
  uint32_t count;
};

// The part of a texture that linear filtering can make non-transparent, as an octagon in
// texture coordinates: u between u0 and u1, v between v0 and v1, u + v between sum0 and
// sum1, u - v between diff0 and diff1.
struct TextureOutline {
  float u0, u1, v0, v1, sum0, sum1, diff0, diff1;
};

// Where linear filtering with repeat wrapping can read a texel of alpha above 0, or
// nothing when the whole square can.
std::optional<TextureOutline> outline_of(int width, int height, const uint8_t* rgba);

// The shortest side, in pixels, of a square drawn as the octagon of its texture.
inline constexpr float kSmallestTrimmed = 128.0f;

// The largest alpha that rounds to 0 in 8 bits, with a margin.
inline constexpr float kInvisibleAlpha = 0.49f / 255.0f;

class BatchBuilder {
 public:
  // The GL state the next primitive is drawn with.
  struct Inputs {
    bool texturing = false;
    TextureName texture = 0;
    bool blending = false;
    BlendFactor source = BlendFactor::One;
    BlendFactor destination = BlendFactor::Zero;
    bool alpha_test = false;
    float line_width = 1.0f;
  };

  void Begin(Primitive primitive, const Inputs& inputs);
  void Vertex(const GlVertex& vertex);
  void End();

  // The outline of a texture's content, or none to draw its squares whole.
  void SetOutline(TextureName texture, std::optional<TextureOutline> outline);
  void ForgetTexture(TextureName texture);

  const std::vector<BatchVertex>& Vertices() const { return vertices_; }
  const std::vector<BatchDraw>& Draws() const { return draws_; }
  bool Empty() const { return draws_.empty(); }
  void Clear();

 private:
  static DrawState StateFor(Primitive primitive, const Inputs& inputs);
  bool Invisible(uint32_t first) const;
  void TrimToOutline(uint32_t first);
  void Append(uint32_t first);

  std::vector<BatchVertex> vertices_;
  std::vector<BatchDraw> draws_;
  std::map<TextureName, TextureOutline> outlines_;
  bool in_primitive_ = false;
  DrawState state_;
  float keep_ = 0.0f;
  uint32_t first_ = 0;
};
