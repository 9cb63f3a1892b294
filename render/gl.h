#pragma once
// The game's one door to OpenGL. Every drawing call of the game goes through a Gl,
// which keeps the current state as OpenGL does (colour, texture coordinate, bound
// texture, switches, blend function) and hands each call to a back end: the real
// OpenGL context (OpenGlBackend) or a recorder that lets tests assert primitives,
// vertex order, texture coordinates and colours without a window.

#include <array>
#include <cstdint>

enum class Primitive { Quads, Lines, LineStrip };
enum class Capability { Texture2D, Blend, AlphaTest, DepthTest };
enum class BlendFactor { Zero, One, SrcAlpha, OneMinusSrcAlpha };
using TextureName = uint32_t;

struct Colour {
  float r = 1.0f, g = 1.0f, b = 1.0f, a = 1.0f;
  bool operator==(const Colour&) const = default;
};

struct GlVertex {
  float x, y;
  float u, v;
  Colour colour;
};

class Gl {
 public:
  virtual ~Gl() = default;

  // Immediate mode: a vertex takes the current texture coordinate and colour.
  void Begin(Primitive primitive);
  void End();
  void TexCoord(float u, float v);
  void Color(float r, float g, float b, float a);
  void Color(const Colour& colour) { Color(colour.r, colour.g, colour.b, colour.a); }
  void Vertex(float x, float y);

  void Enable(Capability capability);
  void Disable(Capability capability);
  void BlendFunc(BlendFactor source, BlendFactor destination);
  void LineWidth(float width);

  // One unit per pixel, origin at the top-left, y down; depth from -10 to 1000.
  void PixelProjection(int width, int height);
  // Discards fragments whose alpha is exactly zero.
  void AlphaTestNotZero();
  void ClearColor(float r, float g, float b, float a);
  void Clear();

  void ActiveTexture0();
  void BindTexture(TextureName name);
  TextureName GenTexture();
  // Uploads RGBA bytes as level 0 of the bound texture and sets linear filtering.
  void TexImageRgba(int width, int height, const uint8_t* pixels);
  void DeleteTexture(TextureName name);

  // Reads the current frame's RGBA bytes, bottom row first.
  void ReadPixels(int width, int height, uint8_t* destination);

  // The frame is complete and about to be shown: a back end that defers drawing
  // submits everything it holds.
  void FrameDone();

  const Colour& CurrentColour() const { return colour_; }
  TextureName BoundTexture() const { return bound_texture_; }
  bool IsEnabled(Capability capability) const { return enabled_[Index(capability)]; }
  std::array<BlendFactor, 2> CurrentBlend() const { return {blend_source_, blend_destination_}; }
  float CurrentLineWidth() const { return line_width_; }

 protected:
  virtual void OnBegin(Primitive primitive) = 0;
  virtual void OnEnd() = 0;
  virtual void OnVertex(const GlVertex& vertex) = 0;
  virtual void OnEnable(Capability capability, bool on) = 0;
  virtual void OnBlendFunc(BlendFactor source, BlendFactor destination) = 0;
  virtual void OnLineWidth(float width) = 0;
  virtual void OnPixelProjection(int width, int height) = 0;
  virtual void OnAlphaTestNotZero() = 0;
  virtual void OnClear(const Colour& colour) = 0;
  virtual void OnActiveTexture0() = 0;
  virtual void OnBindTexture(TextureName name) = 0;
  virtual TextureName OnGenTexture() = 0;
  virtual void OnTexImageRgba(int width, int height, const uint8_t* pixels) = 0;
  virtual void OnDeleteTexture(TextureName name) = 0;
  virtual void OnReadPixels(int width, int height, uint8_t* destination) = 0;
  virtual void OnFrameDone() {}

 private:
  static int Index(Capability capability) { return static_cast<int>(capability); }

  Colour colour_;
  Colour clear_colour_{0.0f, 0.0f, 0.0f, 0.0f};
  float u_ = 0.0f, v_ = 0.0f;
  TextureName bound_texture_ = 0;
  std::array<bool, 4> enabled_{};
  BlendFactor blend_source_ = BlendFactor::One;
  BlendFactor blend_destination_ = BlendFactor::Zero;
  float line_width_ = 1.0f;
};
