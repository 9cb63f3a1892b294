#include "render/gl.h"

void Gl::Begin(Primitive primitive) {
  OnBegin(primitive);
}
void Gl::End() {
  OnEnd();
}

void Gl::TexCoord(float u, float v) {
  u_ = u;
  v_ = v;
}

void Gl::Color(float r, float g, float b, float a) {
  colour_ = {r, g, b, a};
}

void Gl::Vertex(float x, float y) {
  OnVertex({x, y, u_, v_, colour_});
}

void Gl::Enable(Capability capability) {
  enabled_[Index(capability)] = true;
  OnEnable(capability, true);
}

void Gl::Disable(Capability capability) {
  enabled_[Index(capability)] = false;
  OnEnable(capability, false);
}

void Gl::BlendFunc(BlendFactor source, BlendFactor destination) {
  blend_source_ = source;
  blend_destination_ = destination;
  OnBlendFunc(source, destination);
}

void Gl::LineWidth(float width) {
  line_width_ = width;
  OnLineWidth(width);
}

void Gl::PixelProjection(int width, int height) {
  OnPixelProjection(width, height);
}
void Gl::AlphaTestNotZero() {
  OnAlphaTestNotZero();
}
void Gl::ClearColor(float r, float g, float b, float a) {
  clear_colour_ = {r, g, b, a};
}
void Gl::Clear() {
  OnClear(clear_colour_);
}
void Gl::ActiveTexture0() {
  OnActiveTexture0();
}

void Gl::BindTexture(TextureName name) {
  bound_texture_ = name;
  OnBindTexture(name);
}

TextureName Gl::GenTexture() {
  return OnGenTexture();
}

void Gl::TexImageRgba(int width, int height, const uint8_t* pixels) {
  OnTexImageRgba(width, height, pixels);
}

void Gl::DeleteTexture(TextureName name) {
  if (bound_texture_ == name) bound_texture_ = 0;
  OnDeleteTexture(name);
}

void Gl::ReadPixels(int width, int height, uint8_t* destination) {
  OnReadPixels(width, height, destination);
}

void Gl::FrameDone() {
  OnFrameDone();
}
