// The game on a real window with real OpenGL (a virtual display in CI).

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/sdl_platform.h"
#include "render/draw.h"
#include "render/opengl_gl.h"
#include "tests/game/screenshot.h"

namespace {

struct Rgba {
  int r, g, b, a;
};

class WindowGame : public ::testing::Test {
 protected:
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
  Game game{platform, [] { return std::make_unique<OpenGlBackend>(); }};
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

void Push(SDL_Event event) {
  SDL_PushEvent(&event);
}

void PushKeyDown(SDL_Keycode key) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.keysym.sym = key;
  Push(event);
}

// Plays the player's part once the game runs: resizes the window to a wide shape, points
// at a spot of the frame, takes a screenshot, goes fullscreen with F11 and quits with
// Escape. Each step waits until the window has taken the last one in.
class PlayerAtTheWindow : public SdlPlatform {
 public:
  static constexpr int kWideWidth = 900, kWideHeight = 500;

  void PresentFrame(int sync) override {
    SdlPlatform::PresentFrame(sync);
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    ++frames_;
    ++frames_in_step_;
    const bool settled = frames_in_step_ > 3;
    if (frames_ == kMostFrames) {
      PushKeyDown(SDLK_ESCAPE);
    } else if (step_ == 0 && settled) {
      // Kept on the screen as a whole, which the X server wants for a screenshot.
      SDL_SetWindowPosition(window, 0, 0);
      SDL_SetWindowSize(window, kWideWidth, kWideHeight);
      NextStep();
    } else if (step_ == 1 && settled && width == kWideWidth && height == kWideHeight) {
      // Over pixel (125, 375) of the 500 x 500 scaled frame, 1.4 frame pixels each.
      SDL_Event motion{};
      motion.type = SDL_MOUSEMOTION;
      motion.motion.x = 200 + 125;
      motion.motion.y = 375;
      Push(motion);
      NextStep();
    } else if (step_ == 2 && settled) {
      pointer_x = PointerX();
      pointer_y = PointerY();
      wide = TakeScreenshot(window);
      if (wide.width == kWideWidth && wide.height == kWideHeight) {
        PushKeyDown(SDLK_F11);
        NextStep();
      }
    } else if (step_ == 3 && settled) {
      // Without a window manager (as on the virtual display) the X server keeps the
      // window's size, so only the window's own state tells that F11 took effect.
      went_fullscreen = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
      PushKeyDown(SDLK_ESCAPE);
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

bool IsBlack(uint32_t rgb) {
  return rgb == 0;
}

// The backdrop's teal: green and blue well above red, and far from black.
bool IsBackdrop(uint32_t rgb) {
  const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  return g > 40 && b > 30 && g > r + 20;
}

TEST(ResizedWindow, ShowsTheFrameScaledBetweenBlackBarsAndStillQuitsWithEscape) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run the tests through tools/test";
  PlayerAtTheWindow platform;
  Game game(platform, [] { return std::make_unique<OpenGlBackend>(); });
  EXPECT_EQ(game.Run(), 0);

  // 900 x 500: a 500 x 500 frame from x = 200, bars of 200 on each side.
  const Screenshot& wide = platform.wide;
  ASSERT_EQ(wide.width, PlayerAtTheWindow::kWideWidth);
  ASSERT_EQ(wide.height, PlayerAtTheWindow::kWideHeight);
  for (int y : {0, 250, 499}) {
    EXPECT_TRUE(IsBlack(wide.At(0, y)));
    EXPECT_TRUE(IsBlack(wide.At(199, y))) << std::hex << wide.At(199, y);
    EXPECT_TRUE(IsBackdrop(wide.At(201, y))) << std::hex << wide.At(201, y);
    EXPECT_TRUE(IsBackdrop(wide.At(450, y))) << std::hex << wide.At(450, y);
    EXPECT_TRUE(IsBackdrop(wide.At(698, y))) << std::hex << wide.At(698, y);
    EXPECT_TRUE(IsBlack(wide.At(700, y))) << std::hex << wide.At(700, y);
    EXPECT_TRUE(IsBlack(wide.At(899, y)));
  }
  // Window (325, 375) lies over frame pixel ((325 - 200) * 1.4, 375 * 1.4).
  EXPECT_EQ(platform.pointer_x, 175);
  EXPECT_EQ(platform.pointer_y, 525);

  EXPECT_TRUE(platform.went_fullscreen);
}

}  // namespace
