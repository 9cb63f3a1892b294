// capture_frame: plays the game on a real window with input read from a script instead
// of the keyboard and mouse, and writes one frame as a PNG. It makes the screenshot of
// the README and the store listing (tools/screenshot runs it on a virtual display).
//   capture_frame SCRIPT OUT.png
//
// A script line is "FRAME ACTION [ARGUMENTS]", '#' starts a comment. FRAME counts the
// frames the game has run before the action happens (0: before the first frame).
//   FRAME pointer X Y    the pointer moves to (X, Y) of the 700 x 700 frame
//   FRAME press NAME     a key or button goes down; NAME is a letter or digit, Space,
//   FRAME release NAME   Escape, Up, Down, Left, Right, or mouse1 (left) to mouse3
//   FRAME autopilot on   the game's scripted player takes over the input from then on,
//   FRAME autopilot off  aiming, firing and flying as a person would, or lets go again
//   FRAME capture        the frame as it is now is written to OUT.png, and the run ends

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "game/autopilot.h"
#include "game/game.h"
#include "platform/sdl_platform.h"
#include "render/opengl_gl.h"
#include "tools/png_file.h"

namespace {

struct Step {
  enum class Action { pointer, press, release, autopilot, capture } action;
  int frame = 0;
  int x = 0, y = 0;  // pointer position
  int key = -1;      // virtual-key code, or -1 for a button
  int button = 0;
  bool on = false;  // autopilot
};

int Fail(const std::string& message) {
  std::fprintf(stderr, "capture_frame: %s\n", message.c_str());
  return 1;
}

// Fills key or button from a NAME of the script; false for a name it does not know.
bool NameInput(const std::string& name, Step& step) {
  static const std::map<std::string, int> kNamedKeys = {
      {"Space", key::kSpace}, {"Escape", key::kEscape}, {"Up", key::kUp},
      {"Down", key::kDown},   {"Left", key::kLeft},     {"Right", key::kRight}};
  if (name.size() == 6 && name.compare(0, 5, "mouse") == 0 && name[5] >= '1' && name[5] <= '3') {
    step.button = name[5] - '0';
    return true;
  }
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
    step.key = std::toupper(static_cast<unsigned char>(name[0]));
    return true;
  }
  const auto named = kNamedKeys.find(name);
  if (named == kNamedKeys.end()) return false;
  step.key = named->second;
  return true;
}

std::optional<Step> ParseStep(const std::string& line, std::string& why) {
  std::istringstream words(line);
  Step step;
  std::string action, name;
  if (!(words >> step.frame >> action) || step.frame < 0) {
    why = "expected a frame number and an action";
    return std::nullopt;
  }
  if (action == "pointer" && words >> step.x >> step.y) {
    step.action = Step::Action::pointer;
  } else if ((action == "press" || action == "release") && words >> name) {
    step.action = action == "press" ? Step::Action::press : Step::Action::release;
    if (!NameInput(name, step)) {
      why = "unknown key or button \"" + name + "\"";
      return std::nullopt;
    }
  } else if (action == "autopilot" && words >> name && (name == "on" || name == "off")) {
    step.action = Step::Action::autopilot;
    step.on = name == "on";
  } else if (action == "capture") {
    step.action = Step::Action::capture;
  } else {
    why = "cannot read \"" + action + "\" and its arguments";
    return std::nullopt;
  }
  if (words >> name) {
    why = "unexpected \"" + name + "\"";
    return std::nullopt;
  }
  return step;
}

std::optional<std::vector<Step>> ReadScript(const std::string& path, std::string& why) {
  std::ifstream in(path);
  if (!in) {
    why = "cannot open " + path;
    return std::nullopt;
  }
  std::vector<Step> steps;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    line = line.substr(0, line.find('#'));
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    std::optional<Step> step = ParseStep(line, why);
    if (!step) {
      why = path + ":" + std::to_string(number) + ": " + why;
      return std::nullopt;
    }
    steps.push_back(*step);
  }
  std::stable_sort(steps.begin(), steps.end(),
                   [](const Step& a, const Step& b) { return a.frame < b.frame; });
  if (std::none_of(steps.begin(), steps.end(),
                   [](const Step& s) { return s.action == Step::Action::capture; })) {
    why = path + ": no capture step";
    return std::nullopt;
  }
  return steps;
}

// The desktop platform with its input taken from the script: the window's own events
// are taken in (so the window stays responsive) but not passed to the game.
class ScriptedPlatform : public SdlPlatform {
 public:
  void Apply(const Step& step) {
    switch (step.action) {
      case Step::Action::pointer:
        input_.PointerMoved(step.x, step.y);
        break;
      case Step::Action::press:
        if (step.key >= 0)
          input_.KeyDown(step.key);
        else
          input_.ButtonDown(step.button);
        break;
      case Step::Action::release:
        if (step.key >= 0)
          input_.KeyUp(step.key);
        else
          input_.ButtonUp(step.button);
        break;
      case Step::Action::autopilot:
      case Step::Action::capture:
        break;
    }
  }
  InputState& Input() { return input_; }

 protected:
  void PumpEvents() override {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
    }
  }
};

// The frame the game has drawn so far, upright.
TPixmap ReadFrame(Gl& gl) {
  TPixmap bottom_up = TPixmap::Create(Game::screen_width, Game::screen_height);
  gl.ReadPixels(Game::screen_width, Game::screen_height, bottom_up.PixelPtr(0, 0));
  TPixmap frame = FlipPixmapRows(bottom_up);
  // The frame's alpha is whatever the blending left; the picture is opaque.
  for (int y = 0; y < frame.Height(); ++y)
    for (int x = 0; x < frame.Width(); ++x) frame.PixelPtr(x, y)[3] = 0xFF;
  return frame;
}

int Run(const std::vector<Step>& steps, const std::string& out_path) {
  ScriptedPlatform platform;
  Game game(platform, [] { return std::make_unique<OpenGlBackend>(); });
  if (!game.StartUp()) return 1;
  Autopilot pilot;
  bool piloting = false;
  size_t next = 0;
  for (int frame = 0;; ++frame) {
    for (; next < steps.size() && steps[next].frame == frame; ++next) {
      if (steps[next].action == Step::Action::autopilot) piloting = steps[next].on;
      if (steps[next].action != Step::Action::capture) {
        platform.Apply(steps[next]);
        continue;
      }
      const bool written = WritePngFile(ReadFrame(game.gl()), out_path);
      game.ShutDown();
      return written ? 0 : Fail("cannot write " + out_path);
    }
    if (game.QuitRequested()) {
      game.ShutDown();
      return Fail("the script quit the game before its capture step");
    }
    if (piloting) pilot.Play(game, platform.Input());
    game.RunFrame();
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: capture_frame SCRIPT OUT.png\n", stderr);
    return 2;
  }
  std::string why;
  const std::optional<std::vector<Step>> steps = ReadScript(argv[1], why);
  if (!steps) return Fail(why);
  return Run(*steps, argv[2]);
}
