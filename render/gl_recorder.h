#pragma once
// A Gl back end without a context. It records what the game draws so tests can assert
// it, or, with recording off, only counts, so headless runs cost no rendering. It can
// also capture a replayable recording of the frames it sees (GlRecording).

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "render/gl.h"
#include "render/gl_recording.h"

class GlRecorder : public Gl {
 public:
  // Without records it only counts; texture pixels are kept with the records, or on
  // their own for a recorder that only captures recordings.
  explicit GlRecorder(bool keep_records = true, bool keep_texture_pixels = false)
      : keep_records_(keep_records), keep_texture_pixels_(keep_records || keep_texture_pixels) {}

  const std::vector<RecordedPrimitive>& Primitives() const { return primitives_; }
  // State changes in order, as short texts such as "BlendFunc SrcAlpha One".
  const std::vector<std::string>& Calls() const { return calls_; }
  const std::map<TextureName, RecordedTexture>& LiveTextures() const { return textures_; }
  long VertexCount() const { return vertex_count_; }
  void ClearRecords();

  // What ReadPixels returns: a frame the test chooses, bottom row first.
  void SetFrameForReadPixels(std::vector<uint8_t> rgba) { frame_ = std::move(rgba); }

  // Starts a replayable recording from the textures and state as they are now; their
  // pixels are at hand only if the recorder has kept texture pixels from the start.
  void StartRecording();
  bool Recording() const { return recording_.has_value(); }
  // Ends the recording and hands it over.
  GlRecording TakeRecording();

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
  template <class MakeText>
  void Log(MakeText make_text);
  void Command(GlCommand command);
  template <class Fill>
  void Command(GlCommand::Kind kind, Fill fill);

  bool keep_records_;
  bool keep_texture_pixels_;
  bool in_primitive_ = false;
  std::vector<RecordedPrimitive> primitives_;
  std::vector<std::string> calls_;
  std::map<TextureName, RecordedTexture> textures_;
  std::vector<uint8_t> frame_;
  TextureName next_texture_ = 1;
  long vertex_count_ = 0;
  int projection_width_ = 0, projection_height_ = 0;
  bool alpha_test_not_zero_ = false;
  std::optional<GlRecording> recording_;
};

const char* ToString(Primitive primitive);
const char* ToString(Capability capability);
const char* ToString(BlendFactor factor);
