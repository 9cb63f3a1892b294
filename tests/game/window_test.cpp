// The game on a real window with real OpenGL (a virtual display in CI).

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/sdl_platform.h"
#include "render/draw.h"
#include "render/opengl_backend.h"
#include "render/opengl_gl.h"
#include "tests/game/screenshot.h"

namespace {

struct Rgba {
  int r, g, b, a;
};

class WindowGame : public ::testing::Test {
 protected:
  explicit WindowGame(Game::GlFactory open_gl = [] { return std::make_unique<OpenGlBackend>(); })
      : game(platform, std::move(open_gl)) {}

  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run the tests through tools/test";
    ASSERT_TRUE(game.StartUp());
  }

  // The pixel at (x, y) of the window, y downward.
  Rgba PixelAt(int x, int y) {
    std::vector<uint8_t> frame(size_t(Game::screen_width) * Game::screen_height * 4);
    game.gl().ReadPixels(Game::screen_width, Game::screen_height, frame.data());
    const uint8_t* p = &frame[(size_t(Game::screen_height - 1 - y) * Game::screen_width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
  }

  SdlPlatform platform;
  Game game;
};

void ExpectNear(const Rgba& pixel, int r, int g, int b, int tolerance) {
  EXPECT_NEAR(pixel.r, r, tolerance);
  EXPECT_NEAR(pixel.g, g, tolerance);
  EXPECT_NEAR(pixel.b, b, tolerance);
}

TEST_F(WindowGame, StartUpClearsToTheStartColour) {
  ExpectNear(PixelAt(3, 3), 54, 89, 77, 1);  // (0.21, 0.35, 0.3) of 255
}

TEST_F(WindowGame, FramesSettleOnTheFadeColour) {
  for (int frame = 0; frame < 30; ++frame) game.RunFrame();
  // (0.11, 0.25, 0.2) of 255, lifted a little by the glow and dimmed a little by the
  // faint background layer.
  ExpectNear(PixelAt(3, 3), 28, 64, 51, 12);
}

TEST_F(WindowGame, EachFrameStartsFromThePreviousImage) {
  game.RunFrame();
  game.gl().Disable(Capability::Texture2D);
  game.gl().Color(1.0f, 1.0f, 1.0f, 1.0f);
  draw_quad(game.gl(), 20.0f, 20.0f, 10.0f);
  platform.PresentFrame(1);
  const Rgba white = PixelAt(20, 20);
  ExpectNear(white, 255, 255, 255, 1);
  const Rgba untouched = PixelAt(60, 20);
  game.RunFrame();
  // The fade quad covers the white at three quarters: a quarter of the white shows
  // through, well above what the untouched neighbour shows.
  const Rgba trail = PixelAt(20, 20);
  const Rgba faded = PixelAt(60, 20);
  EXPECT_GT(trail.g - faded.g, 255 / 4 - 255 / 4 * untouched.g / 255 - 12);
  EXPECT_GT(trail.r, 0.25 * 255 + 0.75 * 28 - 12);
}

TEST_F(WindowGame, PausingTakesAStillOfTheFrame) {
  game.RunFrame();
  game.RunFrame();
  const TextureName before = game.textures.pause_texture;
  EXPECT_EQ(before, 0u);
  game.textures.pause_texture =
      make_pause_texture(game.gl(), *game.snapshot_pixmap, *game.snapshot_scratch_pixmap);
  EXPECT_NE(game.textures.pause_texture, 0u);
  // The still is upright: its top-left corner holds what the window's top-left held.
  const Rgba corner = PixelAt(2, 2);
  const uint32_t still = game.snapshot_pixmap->ReadPixel(2, 2);
  EXPECT_NEAR(int((still >> 16) & 0xff), corner.r, 6);
  EXPECT_NEAR(int((still >> 8) & 0xff), corner.g, 6);
}

// What a player does, as the window system would deliver it.
void PushMouseMotion(int x, int y) {
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.x = x;
  event.motion.y = y;
  SDL_PushEvent(&event);
}

void PushButton(bool down) {
  SDL_Event event{};
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.button = SDL_BUTTON_LEFT;
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  SDL_PushEvent(&event);
}

void PushKey(SDL_Keycode code, bool down) {
  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.keysym.sym = code;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  SDL_PushEvent(&event);
}

// Played on the back end the program itself chooses (on the virtual display, the
// batching one).
class WindowPlay : public WindowGame {
 protected:
  WindowPlay() : WindowGame(make_opengl_backend) {}

  void Frames(int count) {
    for (int i = 0; i < count; ++i) game.RunFrame();
  }
  // Pixels of the rectangle that satisfy the test.
  template <class Test>
  int Count(int x0, int y0, int x1, int y1, Test test) {
    std::vector<uint8_t> frame(size_t(Game::screen_width) * Game::screen_height * 4);
    game.gl().ReadPixels(Game::screen_width, Game::screen_height, frame.data());
    int count = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        const uint8_t* p =
            &frame[(size_t(Game::screen_height - 1 - y) * Game::screen_width + x) * 4];
        count += test(Rgba{p[0], p[1], p[2], p[3]});
      }
    }
    return count;
  }
  // The HUD band is dark blue along the top edge.
  int BandPixels() {
    return Count(0, 0, 700, 3, [](Rgba p) { return p.b > p.g + 20; });
  }
  // The title's prompt is pale cyan across the middle of the window, at a pulsing alpha
  // between a quarter and three quarters. Its middle, where the ship starts, is left out.
  int PromptPixels() {
    auto pale_cyan = [](Rgba p) { return p.g > 100 && p.b > 95 && p.r < p.g - 40; };
    return Count(230, 352, 320, 372, pale_cyan) + Count(380, 352, 470, 372, pale_cyan);
  }
  // "P A U S E D" is white near the bottom.
  int PauseTextPixels() {
    return Count(262, 660, 440, 692, [](Rgba p) { return p.r > 230 && p.g > 230 && p.b > 230; });
  }
};

TEST_F(WindowPlay, APlayerStartsFliesFiresPausesAndResumes) {
  Frames(30);
  EXPECT_GT(PromptPixels(), 100);
  EXPECT_EQ(BandPixels(), 0);

  PushMouseMotion(350, 100);
  PushButton(true);
  PushButton(false);
  Frames(5);
  ASSERT_TRUE(game.state.playing);
  EXPECT_GT(BandPixels(), 1500);
  EXPECT_LT(PromptPixels(), 20);
  PushKey(SDLK_w, true);
  PushButton(true);
  Frames(3);
  EXPECT_GT(game.world->shot_list.Count(), 0);
  Frames(17);
  EXPECT_LT(game.world->player_ship.y, 340);  // it flew toward the pointer
  PushKey(SDLK_w, false);
  PushButton(false);
  Frames(30);
  // An item's white ring may pass there too; the text makes the difference.
  const int before_pause = PauseTextPixels();

  PushKey(SDLK_p, true);
  PushKey(SDLK_p, false);
  Frames(3);
  ASSERT_TRUE(game.state.paused);
  const int paused = PauseTextPixels();
  EXPECT_GT(paused, before_pause + 200);
  EXPECT_GT(BandPixels(), 1500);  // the HUD stays over the still

  PushButton(true);
  PushButton(false);
  Frames(30);
  EXPECT_FALSE(game.state.paused);
  EXPECT_LT(PauseTextPixels(), paused - 200);
  EXPECT_TRUE(game.state.playing);
}

void Push(SDL_Event event) {
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

// Takes in what the display said about the new window (shown, focus gained), which
// would otherwise arrive after the events a test pushes and clear them.
void Settle(Platform& platform) {
  for (int round = 0; round < 5; ++round) {
    SDL_Delay(20);
    platform.KeyIsDown(0);
  }
}

SDL_Event WindowEvent(SDL_WindowEventID what) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = what;
  return event;
}

// The key and the button come up while another window has the focus: the game must
// not go on thrusting or firing.
TEST_F(WindowGame, LosingTheFocusReleasesAHeldKeyAndButton) {
  Settle(platform);
  PushKey(SDLK_w, true);
  PushButton(true);
  ASSERT_EQ(platform.KeyIsDown(key::kW), 1);
  ASSERT_EQ(platform.MouseIsDown(1), 1);
  Push(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
  EXPECT_EQ(platform.KeyIsDown(key::kW), 0);
  EXPECT_EQ(platform.MouseIsDown(1), 0);
  EXPECT_EQ(platform.MouseClickCount(1), 0);
}

TEST_F(WindowGame, ClosingTheWindowWhilePausedQuits) {
  Settle(platform);
  PushKey(SDLK_p, true);
  game.RunFrame();
  game.RunFrame();
  ASSERT_TRUE(game.state.paused);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  Push(quit);
  EXPECT_TRUE(game.QuitRequested());
  game.ShutDown();
}

}  // namespace

namespace {

TEST(NoDisplay, TheGameSaysWhyAndDoesNotStart) {
  const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  SdlPlatform platform;
  Game game(platform, [] { return std::make_unique<OpenGlBackend>(); });
  testing::internal::CaptureStderr();
  EXPECT_EQ(game.Run(), 1);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("velunka: cannot open a display"), std::string::npos) << said;
  setenv("DISPLAY", display.c_str(), 1);
}

}  // namespace

namespace {

// Pixels of columns x0 to x1 - 1 that are not black.
int NonBlack(const Screenshot& shot, int x0, int x1) {
  int count = 0;
  for (int y = 0; y < shot.height; ++y)
    for (int x = x0; x < x1; ++x) count += shot.At(x, y) != 0;
  return count;
}

// 900 x 500: a 500 x 500 frame from x = 200, black bars of 200 on each side. The frame is
// drawn over nearly every pixel; no picture of play is black at more than a few.
constexpr int kWideWidth = 900, kWideHeight = 500;
bool ShowsTheFrameBetweenBars(const Screenshot& shot) {
  return shot.width == kWideWidth && shot.height == kWideHeight && NonBlack(shot, 0, 200) == 0 &&
         NonBlack(shot, 700, 900) == 0 && NonBlack(shot, 200, 700) > 500 * 500 * 99 / 100 &&
         NonBlack(shot, 200, 201) > 490 && NonBlack(shot, 699, 700) > 490;
}

// Plays the player's part once the game runs: resizes the window to a wide shape, points
// at a spot of the frame, takes a screenshot, goes fullscreen with F11 and quits with
// Escape. Each step waits until the window has taken the last one in.
class PlayerAtTheWindow : public SdlPlatform {
 public:
  void PresentFrame(int sync) override {
    SdlPlatform::PresentFrame(sync);
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    ++frames_;
    ++frames_in_step_;
    const bool settled = frames_in_step_ > 3;
    if (frames_ == kMostFrames) {
      PushKey(SDLK_ESCAPE, true);
    } else if (step_ == 0 && settled) {
      // Kept on the screen as a whole, which the X server wants for a screenshot.
      SDL_SetWindowPosition(window, 0, 0);
      SDL_SetWindowSize(window, kWideWidth, kWideHeight);
      NextStep();
    } else if (step_ == 1 && settled && width == kWideWidth && height == kWideHeight) {
      // Over pixel (125, 375) of the 500 x 500 scaled frame, 1.4 frame pixels each.
      PushMouseMotion(200 + 125, 375);
      NextStep();
    } else if (step_ == 2 && settled) {
      pointer_x = PointerX();
      pointer_y = PointerY();
      // The X server may still show the old size, or part of a frame, for a moment.
      wide = TakeScreenshot(window);
      if (ShowsTheFrameBetweenBars(wide)) {
        PushKey(SDLK_F11, true);
        NextStep();
      }
    } else if (step_ == 3 && settled) {
      // Without a window manager (as on the virtual display) the X server keeps the
      // window's size, so only the window's own state tells that F11 took effect.
      went_fullscreen = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
      PushKey(SDLK_ESCAPE, true);
      NextStep();
    }
  }

  Screenshot wide;
  int pointer_x = -1, pointer_y = -1;
  bool went_fullscreen = false;

 private:
  static constexpr int kMostFrames = 600;
  void NextStep() {
    ++step_;
    frames_in_step_ = 0;
  }
  int frames_ = 0, frames_in_step_ = 0, step_ = 0;
};

TEST(ResizedWindow, ShowsTheFrameScaledBetweenBlackBarsAndStillQuitsWithEscape) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run the tests through tools/test";
  PlayerAtTheWindow platform;
  Game game(platform, [] { return std::make_unique<OpenGlBackend>(); });
  EXPECT_EQ(game.Run(), 0);

  const Screenshot& wide = platform.wide;
  ASSERT_EQ(wide.width, kWideWidth);
  ASSERT_EQ(wide.height, kWideHeight);
  EXPECT_EQ(NonBlack(wide, 0, 200), 0);
  EXPECT_EQ(NonBlack(wide, 700, 900), 0);
  EXPECT_GT(NonBlack(wide, 200, 700), 500 * 500 * 99 / 100);
  EXPECT_GT(NonBlack(wide, 200, 201), 490);
  EXPECT_GT(NonBlack(wide, 699, 700), 490);
  // Window (325, 375) lies over frame pixel ((325 - 200) * 1.4, 375 * 1.4).
  EXPECT_EQ(platform.pointer_x, 175);
  EXPECT_EQ(platform.pointer_y, 525);

  EXPECT_TRUE(platform.went_fullscreen);
}

}  // namespace
