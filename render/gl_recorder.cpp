#include "render/gl_recorder.h"

#include <algorithm>
#include <cstring>

const char* ToString(Primitive primitive) {
  switch (primitive) {
    case Primitive::Quads:
      return "Quads";
    case Primitive::Lines:
      return "Lines";
    case Primitive::LineStrip:
      return "LineStrip";
  }
  return "?";
}

const char* ToString(Capability capability) {
  switch (capability) {
    case Capability::Texture2D:
      return "Texture2D";
    case Capability::Blend:
      return "Blend";
    case Capability::AlphaTest:
      return "AlphaTest";
    case Capability::DepthTest:
      return "DepthTest";
  }
  return "?";
}

const char* ToString(BlendFactor factor) {
  switch (factor) {
    case BlendFactor::Zero:
      return "Zero";
    case BlendFactor::One:
      return "One";
    case BlendFactor::SrcAlpha:
      return "SrcAlpha";
    case BlendFactor::OneMinusSrcAlpha:
      return "OneMinusSrcAlpha";
  }
  return "?";
}

void GlRecorder::ClearRecords() {
  primitives_.clear();
  calls_.clear();
  vertex_count_ = 0;
}

// The text is only made when records are kept, so a counting recorder costs no
// allocation per call.
template <class MakeText>
void GlRecorder::Log(MakeText make_text) {
  if (keep_records_) calls_.push_back(make_text());
}

void GlRecorder::OnBegin(Primitive primitive) {
  in_primitive_ = true;
  if (keep_records_) {
    primitives_.push_back({primitive, BoundTexture(), IsEnabled(Capability::Texture2D), {}});
  }
}

void GlRecorder::OnEnd() {
  in_primitive_ = false;
}

void GlRecorder::OnVertex(const GlVertex& vertex) {
  ++vertex_count_;
  if (keep_records_ && in_primitive_) primitives_.back().vertices.push_back(vertex);
}

void GlRecorder::OnEnable(Capability capability, bool on) {
  Log([&] { return std::string(on ? "Enable " : "Disable ") + ToString(capability); });
}

void GlRecorder::OnBlendFunc(BlendFactor source, BlendFactor destination) {
  Log([&] { return std::string("BlendFunc ") + ToString(source) + " " + ToString(destination); });
}

void GlRecorder::OnLineWidth(float width) {
  Log([&] { return "LineWidth " + std::to_string(width); });
}

void GlRecorder::OnPixelProjection(int width, int height) {
  Log([&] { return "PixelProjection " + std::to_string(width) + " " + std::to_string(height); });
}

void GlRecorder::OnAlphaTestNotZero() {
  Log([] { return std::string("AlphaTestNotZero"); });
}
void GlRecorder::OnClear(const Colour&) {
  Log([] { return std::string("Clear"); });
}
void GlRecorder::OnActiveTexture0() {
  Log([] { return std::string("ActiveTexture0"); });
}
void GlRecorder::OnBindTexture(TextureName name) {
  Log([&] { return "BindTexture " + std::to_string(name); });
}

TextureName GlRecorder::OnGenTexture() {
  const TextureName name = next_texture_++;
  textures_[name];
  Log([&] { return "GenTexture " + std::to_string(name); });
  return name;
}

void GlRecorder::OnTexImageRgba(int width, int height, const uint8_t* pixels) {
  RecordedTexture& texture = textures_[BoundTexture()];
  texture.width = width;
  texture.height = height;
  if (keep_records_) texture.pixels.assign(pixels, pixels + size_t(width) * height * 4);
  Log([&] { return "TexImageRgba " + std::to_string(width) + "x" + std::to_string(height); });
}

void GlRecorder::OnDeleteTexture(TextureName name) {
  textures_.erase(name);
  Log([&] { return "DeleteTexture " + std::to_string(name); });
}

void GlRecorder::OnReadPixels(int width, int height, uint8_t* destination) {
  const size_t size = size_t(width) * height * 4;
  std::memset(destination, 0, size);
  if (!frame_.empty()) std::memcpy(destination, frame_.data(), std::min(size, frame_.size()));
  Log([] { return std::string("ReadPixels"); });
}
