#include "render/gl_recording.h"

int GlRecording::FrameCount() const {
  int frames = 0;
  for (const GlCommand& command : commands) frames += command.kind == GlCommand::Kind::FrameDone;
  return frames;
}

GlReplayer::GlReplayer(const GlRecording& recording, Gl& target)
    : recording_(recording), target_(target) {}

void GlReplayer::SetUp() {
  const GlStartState& start = recording_.start;
  for (const auto& [name, texture] : start.textures) {
    const TextureName made = target_.GenTexture();
    names_[name] = made;
    target_.BindTexture(made);
    if (texture.width > 0 && texture.height > 0) {
      target_.TexImageRgba(texture.width, texture.height, texture.pixels.data());
    }
  }
  if (start.projection_width > 0) {
    target_.PixelProjection(start.projection_width, start.projection_height);
  }
  if (start.alpha_test_not_zero) target_.AlphaTestNotZero();
  for (int i = 0; i < int(start.enabled.size()); ++i) {
    const auto capability = static_cast<Capability>(i);
    start.enabled[i] ? target_.Enable(capability) : target_.Disable(capability);
  }
  target_.BlendFunc(start.blend_source, start.blend_destination);
  target_.LineWidth(start.line_width);
  target_.BindTexture(Target(start.bound_texture));
}

bool GlReplayer::ReplayFrame() {
  if (next_ >= recording_.commands.size()) return false;
  while (next_ < recording_.commands.size()) {
    const GlCommand& command = recording_.commands[next_++];
    Replay(command);
    if (command.kind == GlCommand::Kind::FrameDone) break;
  }
  return true;
}

void GlReplayer::ReplayAll() {
  while (ReplayFrame()) {
  }
}

// A name the recording never made (0, or one deleted) stays as it is.
TextureName GlReplayer::Target(TextureName recorded) const {
  const auto found = names_.find(recorded);
  return found == names_.end() ? recorded : found->second;
}

void GlReplayer::ReplayPrimitive(const RecordedPrimitive& primitive) {
  target_.Begin(primitive.primitive);
  for (const GlVertex& vertex : primitive.vertices) {
    target_.Color(vertex.colour);
    target_.TexCoord(vertex.u, vertex.v);
    target_.Vertex(vertex.x, vertex.y);
  }
  target_.End();
}

void GlReplayer::Replay(const GlCommand& command) {
  using Kind = GlCommand::Kind;
  switch (command.kind) {
    case Kind::Primitive:
      ReplayPrimitive(recording_.primitives[command.index]);
      break;
    case Kind::Enable:
      target_.Enable(command.capability);
      break;
    case Kind::Disable:
      target_.Disable(command.capability);
      break;
    case Kind::BlendFunc:
      target_.BlendFunc(command.source, command.destination);
      break;
    case Kind::LineWidth:
      target_.LineWidth(command.value);
      break;
    case Kind::PixelProjection:
      target_.PixelProjection(command.width, command.height);
      break;
    case Kind::AlphaTestNotZero:
      target_.AlphaTestNotZero();
      break;
    case Kind::Clear:
      target_.ClearColor(command.colour.r, command.colour.g, command.colour.b, command.colour.a);
      target_.Clear();
      break;
    case Kind::ActiveTexture0:
      target_.ActiveTexture0();
      break;
    case Kind::BindTexture:
      target_.BindTexture(Target(command.texture));
      break;
    case Kind::GenTexture:
      names_[command.texture] = target_.GenTexture();
      break;
    case Kind::TexImage: {
      const RecordedTexture& upload = recording_.uploads[command.index];
      target_.TexImageRgba(upload.width, upload.height, upload.pixels.data());
      break;
    }
    case Kind::DeleteTexture:
      target_.DeleteTexture(Target(command.texture));
      names_.erase(command.texture);
      break;
    case Kind::ReadPixels:
      read_back_.resize(size_t(command.width) * command.height * 4);
      target_.ReadPixels(command.width, command.height, read_back_.data());
      break;
    case Kind::FrameDone:
      target_.FrameDone();
      break;
  }
}
