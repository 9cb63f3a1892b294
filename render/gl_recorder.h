#pragma once
// A Gl back end without a context. It records what the game draws so tests can assert
// it, or, with recording off, only counts, so headless runs cost no rendering.

#include <map>
#include <string>
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

class GlRecorder : public Gl {
 public:
  explicit GlRecorder(bool keep_records = true) : keep_records_(keep_records) {}

  const std::vector<RecordedPrimitive>& Primitives() const { return primitives_; }
  // State changes in order, as short texts such as "BlendFunc SrcAlpha One".
  const std::vector<std::string>& Calls() const { return calls_; }
  const std::map<TextureName, RecordedTexture>& LiveTextures() const { return textures_; }
  long VertexCount() const { return vertex_count_; }
  void ClearRecords();

  // What ReadPixels returns: a frame the test chooses, bottom row first.
  void SetFrameForReadPixels(std::vector<uint8_t> rgba) { frame_ = std::move(rgba); }

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

 private:
  template <class MakeText>
  void Log(MakeText make_text);

  bool keep_records_;
  bool in_primitive_ = false;
  std::vector<RecordedPrimitive> primitives_;
  std::vector<std::string> calls_;
  std::map<TextureName, RecordedTexture> textures_;
  std::vector<uint8_t> frame_;
  TextureName next_texture_ = 1;
  long vertex_count_ = 0;
};

const char* ToString(Primitive primitive);
const char* ToString(Capability capability);
const char* ToString(BlendFactor factor);
