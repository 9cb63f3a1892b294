// A game played with SDL's virtual game pad in the real window: plugged in mid-game,
// starting, flying, aiming and firing, the mouse taking the pointer back, unplugged.

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "game/game.h"
#include "platform/sdl_platform.h"
#include "render/opengl_gl.h"

namespace {

class VirtualPad {
 public:
  VirtualPad() {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    device_ = SDL_JoystickAttachVirtualEx(&desc);
    joystick_ = SDL_JoystickOpen(device_);
  }
  ~VirtualPad() { Unplug(); }
  void Unplug() {
    if (!joystick_) return;
    SDL_JoystickClose(joystick_);
    SDL_JoystickDetachVirtual(device_);
    joystick_ = nullptr;
  }
  bool Plugged() const { return joystick_ != nullptr; }
  void Axis(SDL_GameControllerAxis axis, int16_t value) {
    SDL_JoystickSetVirtualAxis(joystick_, axis, value);
  }
  void Button(SDL_GameControllerButton button, bool down) {
    SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
  }

 private:
  int device_ = -1;
  SDL_Joystick* joystick_ = nullptr;
};

class PadGame : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run the tests through tools/test";
    ASSERT_TRUE(game.StartUp());
  }
  void Frames(int count) {
    for (int i = 0; i < count; ++i) game.RunFrame();
  }
  SdlPlatform platform;
  Game game{platform, [] { return std::make_unique<OpenGlBackend>(); }};
};

TEST_F(PadGame, APadPluggedInMidGameStartsFliesAimsFiresAndLetsGoWhenUnplugged) {
  Frames(2);
  VirtualPad pad;
  ASSERT_TRUE(pad.Plugged()) << SDL_GetError();
  Frames(2);
  pad.Button(SDL_CONTROLLER_BUTTON_A, true);
  Frames(1);
  pad.Button(SDL_CONTROLLER_BUTTON_A, false);
  Frames(1);
  ASSERT_TRUE(game.state.playing);  // A clicked on the title screen

  pad.Axis(SDL_CONTROLLER_AXIS_RIGHTX, 0);
  pad.Axis(SDL_CONTROLLER_AXIS_RIGHTY, -30000);  // aim up
  pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, -30000);   // thrust
  pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 30000);
  Frames(3);
  const ship& s = game.world->player_ship;
  // The pointer lies on whole pixels, 120 away: the facing is within half a pixel of it.
  EXPECT_NEAR(s.sx, 0, 0.5 / 120);
  EXPECT_NEAR(s.sy, -1, 1e-3);
  EXPECT_EQ(platform.KeyIsDown(key::kW), 1);
  EXPECT_EQ(platform.MouseIsDown(1), 1);
  EXPECT_GT(game.world->shot_list.Count(), 0);
  EXPECT_LT(s.vy, 0);

  pad.Axis(SDL_CONTROLLER_AXIS_RIGHTY, 0);  // the stick let go: the pointer stays
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.x = 600;
  motion.motion.y = static_cast<int>(s.y);
  SDL_PushEvent(&motion);
  Frames(1);
  EXPECT_GT(s.sx, 0.9f);  // the mouse took the pointer back

  pad.Unplug();
  Frames(2);
  EXPECT_EQ(platform.KeyIsDown(key::kW), 0);
  EXPECT_EQ(platform.MouseIsDown(1), 0);
  EXPECT_TRUE(game.state.playing);
}

}  // namespace
