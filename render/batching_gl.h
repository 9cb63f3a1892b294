#pragma once
// The Gl back end for software OpenGL: it takes the same immediate-mode stream as
// OpenGlBackend and draws the same pixels, but collects the vertices into one buffer and
// issues one draw per run of primitives that can share state (see BatchBuilder), when
// the frame is done or something needs the pixels or the textures as drawn so far.
// It does by shader what the fixed-function pipeline did: clamped vertex colours,
// texture modulation, the alpha test, and both blend functions in one blend state.
// Needs OpenGL 3.0 with dual-source blending (core in 3.3) on a compatibility context.

#include <memory>

#include "render/gl.h"
#include "render/gl_batch.h"

class BatchingGlBackend : public Gl {
 public:
  // None when the context lacks what it needs or its shaders do not build.
  static std::unique_ptr<BatchingGlBackend> Create();
  ~BatchingGlBackend() override;

  // Draws made since the start, for benchmarks.
  long DrawCalls() const { return draw_calls_; }

 protected:
  void OnBegin(Primitive primitive) override;
  void OnEnd() override;
  void OnVertex(const GlVertex& vertex) override;
  void OnEnable(Capability capability, bool on) override;
  void OnBlendFunc(BlendFactor source, BlendFactor destination) override;
  void OnLineWidth(float width) override;
  void OnPixelProjection(int width, int height) override;
  void OnAlphaTestNotZero() override;
  void OnClear(const Colour& colour) override;
  void OnActiveTexture0() override;
  void OnBindTexture(TextureName name) override;
  TextureName OnGenTexture() override;
  void OnTexImageRgba(int width, int height, const uint8_t* pixels) override;
  void OnDeleteTexture(TextureName name) override;
  void OnReadPixels(int width, int height, uint8_t* destination) override;
  void OnFrameDone() override;

 private:
  struct Program {
    unsigned name = 0;
    int alpha_test = -1;      // uniform location
    int alpha_test_set = -1;  // value last set, -1 unknown
  };

  BatchingGlBackend() = default;
  bool Build();
  void Submit();
  void Apply(const DrawState& state);
  void ApplyBlend(const DrawState& state);

  BatchBuilder builder_;
  Program textured_, plain_;
  unsigned buffer_ = 0;
  // What the context is set to, so a run changes only what differs.
  const Program* current_program_ = nullptr;
  TextureName gl_texture_ = 0;
  bool gl_texture_known_ = false;
  std::optional<DrawState> gl_blend_;
  float gl_line_width_ = -1.0f;
  bool alpha_func_set_ = false;
  long draw_calls_ = 0;
};
