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

void GlRecorder::StartRecording() {
  recording_.emplace();
  GlStartState& start = recording_->start;
  start.textures = textures_;
  for (int i = 0; i < int(start.enabled.size()); ++i) {
    start.enabled[i] = IsEnabled(static_cast<Capability>(i));
  }
  start.blend_source = CurrentBlend()[0];
  start.blend_destination = CurrentBlend()[1];
  start.line_width = CurrentLineWidth();
  start.bound_texture = BoundTexture();
  start.projection_width = projection_width_;
  start.projection_height = projection_height_;
  start.alpha_test_not_zero = alpha_test_not_zero_;
}

GlRecording GlRecorder::TakeRecording() {
  GlRecording taken = std::move(recording_).value_or(GlRecording{});
  recording_.reset();
  return taken;
}

void GlRecorder::Command(GlCommand command) {
  if (recording_) recording_->commands.push_back(command);
}

template <class Fill>
void GlRecorder::Command(GlCommand::Kind kind, Fill fill) {
  if (!recording_) return;
  GlCommand command(kind);
  fill(command);
  recording_->commands.push_back(command);
}

void GlRecorder::OnBegin(Primitive primitive) {
  in_primitive_ = true;
  const RecordedPrimitive begun{primitive, BoundTexture(), IsEnabled(Capability::Texture2D), {}};
  if (keep_records_) primitives_.push_back(begun);
  if (recording_) {
    Command(GlCommand::Kind::Primitive,
            [&](GlCommand& c) { c.index = uint32_t(recording_->primitives.size()); });
    recording_->primitives.push_back(begun);
  }
}

void GlRecorder::OnEnd() {
  in_primitive_ = false;
}

void GlRecorder::OnVertex(const GlVertex& vertex) {
  ++vertex_count_;
  if (keep_records_ && in_primitive_) primitives_.back().vertices.push_back(vertex);
  if (recording_ && in_primitive_) recording_->primitives.back().vertices.push_back(vertex);
}

void GlRecorder::OnEnable(Capability capability, bool on) {
  Command(on ? GlCommand::Kind::Enable : GlCommand::Kind::Disable,
          [&](GlCommand& c) { c.capability = capability; });
  Log([&] { return std::string(on ? "Enable " : "Disable ") + ToString(capability); });
}

void GlRecorder::OnBlendFunc(BlendFactor source, BlendFactor destination) {
  Command(GlCommand::Kind::BlendFunc, [&](GlCommand& c) {
    c.source = source;
    c.destination = destination;
  });
  Log([&] { return std::string("BlendFunc ") + ToString(source) + " " + ToString(destination); });
}

void GlRecorder::OnLineWidth(float width) {
  Command(GlCommand::Kind::LineWidth, [&](GlCommand& c) { c.value = width; });
  Log([&] { return "LineWidth " + std::to_string(width); });
}

void GlRecorder::OnPixelProjection(int width, int height) {
  projection_width_ = width;
  projection_height_ = height;
  Command(GlCommand::Kind::PixelProjection, [&](GlCommand& c) {
    c.width = width;
    c.height = height;
  });
  Log([&] { return "PixelProjection " + std::to_string(width) + " " + std::to_string(height); });
}

void GlRecorder::OnAlphaTestNotZero() {
  alpha_test_not_zero_ = true;
  Command(GlCommand(GlCommand::Kind::AlphaTestNotZero));
  Log([] { return std::string("AlphaTestNotZero"); });
}
void GlRecorder::OnClear(const Colour& colour) {
  Command(GlCommand::Kind::Clear, [&](GlCommand& c) { c.colour = colour; });
  Log([] { return std::string("Clear"); });
}
void GlRecorder::OnActiveTexture0() {
  Command(GlCommand(GlCommand::Kind::ActiveTexture0));
  Log([] { return std::string("ActiveTexture0"); });
}
void GlRecorder::OnBindTexture(TextureName name) {
  Command(GlCommand::Kind::BindTexture, [&](GlCommand& c) { c.texture = name; });
  Log([&] { return "BindTexture " + std::to_string(name); });
}

TextureName GlRecorder::OnGenTexture() {
  const TextureName name = next_texture_++;
  textures_[name];
  Command(GlCommand::Kind::GenTexture, [&](GlCommand& c) { c.texture = name; });
  Log([&] { return "GenTexture " + std::to_string(name); });
  return name;
}

void GlRecorder::OnTexImageRgba(int width, int height, const uint8_t* pixels) {
  RecordedTexture& texture = textures_[BoundTexture()];
  texture.width = width;
  texture.height = height;
  if (keep_texture_pixels_) texture.pixels.assign(pixels, pixels + size_t(width) * height * 4);
  if (recording_) {
    Command(GlCommand::Kind::TexImage,
            [&](GlCommand& c) { c.index = uint32_t(recording_->uploads.size()); });
    recording_->uploads.push_back(
        {width, height, std::vector<uint8_t>(pixels, pixels + size_t(width) * height * 4)});
  }
  Log([&] { return "TexImageRgba " + std::to_string(width) + "x" + std::to_string(height); });
}

void GlRecorder::OnDeleteTexture(TextureName name) {
  textures_.erase(name);
  Command(GlCommand::Kind::DeleteTexture, [&](GlCommand& c) { c.texture = name; });
  Log([&] { return "DeleteTexture " + std::to_string(name); });
}

void GlRecorder::OnReadPixels(int width, int height, uint8_t* destination) {
  const size_t size = size_t(width) * height * 4;
  std::memset(destination, 0, size);
  if (!frame_.empty()) std::memcpy(destination, frame_.data(), std::min(size, frame_.size()));
  Log([] { return std::string("ReadPixels"); });
  Command(GlCommand::Kind::ReadPixels, [&](GlCommand& c) {
    c.width = width;
    c.height = height;
  });
}

void GlRecorder::OnFrameDone() {
  Command(GlCommand(GlCommand::Kind::FrameDone));
}
