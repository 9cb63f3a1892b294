// The batching back end draws what the literal immediate-mode one draws: the same captured
// frames replayed onto each, in contexts and frames of their own starting from the same
// image, read back with alpha and compared pixel by pixel.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/frame_capture.h"
#include "game/replay_target.h"
#include "render/batching_gl.h"
#include "render/draw.h"
#include "render/opengl_backend.h"

namespace {

#ifdef VELUNKA_SANITIZED
constexpr int kFrames = 4;  // the software rasteriser is slow under the sanitizers
#else
constexpr int kFrames = 60;
#endif

struct Difference {
  long pixels = 0;  // pixels with any channel apart
  int largest = 0;  // the largest difference of a channel
};

Difference Compare(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  Difference difference;
  for (size_t i = 0; i + 3 < a.size(); i += 4) {
    int largest = 0;
    for (size_t c = 0; c < 4; ++c)
      largest = std::max(largest, std::abs(int(a[i + c]) - int(b[i + c])));
    difference.pixels += largest > 0;
    difference.largest = std::max(difference.largest, largest);
  }
  return difference;
}

std::unique_ptr<ReplayTarget> Open(Backend backend, const GlRecording& recording) {
  std::string failure;
  auto target = ReplayTarget::Open(backend, recording, failure);
  EXPECT_NE(target, nullptr) << NameOf(backend) << ": " << failure;
  return target;
}

class BackendPixels : public ::testing::TestWithParam<CapturedScene> {};

TEST_P(BackendPixels, AgreeWithinOneAfterTheFirstFrameAndTheLast) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run the tests through tools/test";
  const GlRecording recording = capture_frames(GetParam(), kFrames);
  ASSERT_EQ(recording.FrameCount(), kFrames);
  auto literal = Open(Backend::Literal, recording);
  auto batching = Open(Backend::Batching, recording);
  ASSERT_TRUE(literal && batching);
  literal->Start();
  batching->Start();
  ASSERT_EQ(Compare(literal->Pixels(), batching->Pixels()).pixels, 0);
  for (int frame = 1; frame <= kFrames; ++frame) {
    ASSERT_TRUE(literal->Frame());
    ASSERT_TRUE(batching->Frame());
    if (frame != 1 && frame != kFrames) continue;
    const std::vector<uint8_t> expected = literal->Pixels();
    const Difference difference = Compare(expected, batching->Pixels());
    std::printf("%s, frame %d: %ld pixels differ, by at most %d\n", NameOf(GetParam()), frame,
                difference.pixels, difference.largest);
    EXPECT_LE(difference.largest, 1) << "frame " << frame;
    // The frames are not blank: the comparison has something to compare.
    EXPECT_GT(Compare(expected, std::vector<uint8_t>(expected.size(), 0)).pixels, 400000);
  }
  EXPECT_FALSE(batching->Frame());
}

INSTANTIATE_TEST_SUITE_P(Scenes, BackendPixels,
                         ::testing::Values(CapturedScene::Title, CapturedScene::Play,
                                           CapturedScene::Pause),
                         [](const auto& info) {
                           return std::string(info.param == CapturedScene::Title  ? "Title"
                                              : info.param == CapturedScene::Play ? "Play"
                                                                                  : "Pause");
                         });

// The play scene holds what the comparison must cover: shots' lines drawn untextured,
// hit flashes, a freshly hit ball's negative red, exhaust, an appearing item's wide
// line strips.
TEST(CapturedPlay, HoldsShotsHitsAndExhaust) {
  const GlRecording recording = capture_frames(CapturedScene::Play, 60);
  int lines = 0, flashes = 0, negative_red = 0, normal_quads = 0, exhaust = 0, wide_strips = 0;
  for (const RecordedPrimitive& primitive : recording.primitives) {
    const Colour& colour = primitive.vertices.empty() ? Colour{} : primitive.vertices[0].colour;
    lines += primitive.primitive == Primitive::Lines && !primitive.textured;
    flashes += colour == Colour{0.5f, 0.8f, 1, 1};
    negative_red += colour.r < 0;
    exhaust += colour.r == 0.1f && colour.g == 0.3f && colour.b == 0.29f;
    wide_strips += primitive.primitive == Primitive::LineStrip;
    normal_quads += primitive.primitive == Primitive::Quads;
  }
  EXPECT_GT(lines, 0);
  EXPECT_GT(flashes, 0);
  EXPECT_GT(negative_red, 0);
  EXPECT_GT(exhaust, 0);
  EXPECT_GT(wide_strips, 0);
  EXPECT_GT(normal_quads, 1000 * 60);
}

// One pixel of a frame read back bottom row first, y downward.
uint32_t PixelAt(const std::vector<uint8_t>& rgba, int x, int y) {
  const uint8_t* p = &rgba[(size_t(ReplayTarget::kSize - 1 - y) * ReplayTarget::kSize + x) * 4];
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

TEST(BatchingBackend, PendingDrawsSeeTexturesAsTheyWereAndReadBackSeesThemAll) {
  const GlRecording nothing;
  auto target = Open(Backend::Batching, nothing);
  ASSERT_TRUE(target);
  target->Start();
  Gl& gl = target->gl();
  gl.PixelProjection(ReplayTarget::kSize, ReplayTarget::kSize);
  gl.Enable(Capability::Texture2D);
  gl.Disable(Capability::Blend);
  const uint8_t red[4] = {255, 0, 0, 255}, green[4] = {0, 255, 0, 255};
  const TextureName texture = gl.GenTexture();
  gl.BindTexture(texture);
  gl.TexImageRgba(1, 1, red);
  gl.Color(1, 1, 1, 1);
  draw_quad(gl, 20, 20, 10);
  gl.TexImageRgba(1, 1, green);
  draw_quad(gl, 60, 20, 10);
  const std::vector<uint8_t> both = target->Pixels();
  EXPECT_EQ(PixelAt(both, 20, 20), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(both, 60, 20), 0x00FF00FFu);
  draw_quad(gl, 100, 20, 10);
  gl.DeleteTexture(texture);
  EXPECT_EQ(PixelAt(target->Pixels(), 100, 20), 0x00FF00FFu);
}

TEST(BackendChoice, TheBatchingBackEndRunsOnTheSoftwareRasteriser) {
  const GlRecording nothing;
  auto target = Open(Backend::Literal, nothing);  // only for its context
  ASSERT_TRUE(target);
  target->Start();
  testing::internal::CaptureStderr();
  const std::unique_ptr<Gl> chosen = make_opengl_backend();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_NE(dynamic_cast<BatchingGlBackend*>(chosen.get()), nullptr);
}

}  // namespace
