// Where the context lacks what the batching back end needs, the game draws with the
// literal immediate-mode back end, silently. The software driver is told to offer only
// OpenGL 2.1; it reads that once, before its first context, so this suite holds this one
// test and nothing else makes a context before it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "game/frame_capture.h"
#include "game/replay_target.h"
#include "render/batching_gl.h"
#include "render/opengl_backend.h"
#include "render/opengl_gl.h"

namespace {

TEST(BackendFallback, AnOldOpenGlGetsTheLiteralBackEndAndStillDraws) {
  setenv("MESA_GL_VERSION_OVERRIDE", "2.1", 1);
  const GlRecording recording = capture_frames(CapturedScene::Title, 1);
  std::string failure;
  auto target = ReplayTarget::Open(Backend::Literal, recording, failure);
  ASSERT_NE(target, nullptr) << failure;
  target->Start();
  EXPECT_EQ(BatchingGlBackend::Create(), nullptr);
  testing::internal::CaptureStderr();
  const std::unique_ptr<Gl> chosen = make_opengl_backend();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_NE(dynamic_cast<OpenGlBackend*>(chosen.get()), nullptr);
  // The literal back end draws the title on this context.
  ASSERT_TRUE(target->Frame());
  const std::vector<uint8_t> frame = target->Pixels();
  long lit = 0;
  for (size_t i = 0; i < frame.size(); i += 4) lit += frame[i + 1] > 0;
  EXPECT_GT(lit, 400000);
}

}  // namespace
