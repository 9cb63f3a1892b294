#include "game/frame_capture.h"

#include "game/autopilot.h"
#include "game/game.h"
#include "platform/headless_platform.h"
#include "platform/input.h"
#include "render/gl_recorder.h"

namespace {

// A frame to read back: smooth ramps of colour and alpha with some fine detail.
std::vector<uint8_t> StandInFrame(int width, int height) {
  std::vector<uint8_t> rgba(size_t(width) * height * 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &rgba[(size_t(y) * width + x) * 4];
      p[0] = uint8_t(x * 255 / width);
      p[1] = uint8_t(y * 255 / height);
      p[2] = uint8_t((x ^ y) & 0xff);
      p[3] = uint8_t(64 + ((x + 2 * y) % 192));
    }
  }
  return rgba;
}

class CaptureRun {
 public:
  CaptureRun()
      : game_(platform_, [this] {
          // No records for tests to read, only the textures a recording starts from.
          auto gl = std::make_unique<GlRecorder>(false, true);
          recorder_ = gl.get();
          return gl;
        }) {}

  bool Start() {
    if (!game_.StartUp()) return false;
    recorder_->SetFrameForReadPixels(StandInFrame(Game::screen_width, Game::screen_height));
    return true;
  }

  // Frames with the scripted player at the controls, or with hands off.
  void Frames(int count, bool piloted) {
    for (int i = 0; i < count; ++i) {
      if (piloted) pilot_.Play(game_, platform_.Input());
      Frame();
    }
  }

  void Frame() { game_.RunFrame(); }

  void Press(int key) {
    platform_.Input().KeyDown(key);
    platform_.Input().KeyUp(key);
  }

  void LetGo() { platform_.Input().ClearAll(); }

  GlRecording Record(int frames, bool piloted) {
    recorder_->StartRecording();
    Frames(frames, piloted);
    return recorder_->TakeRecording();
  }

 private:
  HeadlessPlatform platform_;
  GlRecorder* recorder_ = nullptr;
  Game game_;
  Autopilot pilot_;
};

}  // namespace

const char* NameOf(CapturedScene scene) {
  switch (scene) {
    case CapturedScene::Title:
      return "title";
    case CapturedScene::Title6000:
      return "title6000";
    case CapturedScene::Play:
      return "play";
    case CapturedScene::Pause:
      return "pause";
  }
  return "?";
}

GlRecording capture_frames(CapturedScene scene, int frames) {
  CaptureRun run;
  if (!run.Start()) return {};
  switch (scene) {
    case CapturedScene::Title:
      // Long enough for the first background layer to fade out of sight.
      run.Frames(120, false);
      return run.Record(frames, false);
    case CapturedScene::Title6000:
      for (int swarm = 0; swarm < 3; ++swarm) {
        run.Press(key::kSpace);
        run.Frame();
      }
      run.Frames(120, false);
      return run.Record(frames, false);
    case CapturedScene::Play:
      // By then the scripted player shoots into a swarm while the next wave's items
      // appear with their wide cross-hair lines.
      run.Frames(2200, true);
      return run.Record(frames, true);
    case CapturedScene::Pause: {
      run.Frames(240, true);
      run.LetGo();
      run.Press(key::kP);
      return run.Record(frames, false);
    }
  }
  return {};
}
