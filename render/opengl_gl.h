#pragma once
// The Gl back end that draws: each call goes to the current OpenGL context.

#include "render/gl.h"

class OpenGlBackend : public Gl {
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
};
