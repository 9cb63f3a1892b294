#include "platform/sdl_platform.h"

#include <GL/glew.h>
#include <SDL.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

void SayFailure(const char* what, const char* why) {
  std::fprintf(stderr, "velunka: %s: %s\n", what, why);
}

// The game speaks the desktop's virtual-key codes; SDL speaks its own.
int VirtualKeyOf(SDL_Keycode code) {
  if (code >= SDLK_a && code <= SDLK_z) return 'A' + (code - SDLK_a);
  if (code >= SDLK_0 && code <= SDLK_9) return '0' + (code - SDLK_0);
  if (code >= SDLK_F1 && code <= SDLK_F12) return 112 + (code - SDLK_F1);
  switch (code) {
    case SDLK_BACKSPACE:
      return 8;
    case SDLK_TAB:
      return 9;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return 13;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return 16;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return 17;
    case SDLK_LALT:
    case SDLK_RALT:
      return 18;
    case SDLK_PAUSE:
      return 19;
    case SDLK_ESCAPE:
      return 27;
    case SDLK_SPACE:
      return 32;
    case SDLK_PAGEUP:
      return 33;
    case SDLK_PAGEDOWN:
      return 34;
    case SDLK_END:
      return 35;
    case SDLK_HOME:
      return 36;
    case SDLK_LEFT:
      return 37;
    case SDLK_UP:
      return 38;
    case SDLK_RIGHT:
      return 39;
    case SDLK_DOWN:
      return 40;
    case SDLK_INSERT:
      return 45;
    case SDLK_DELETE:
      return 46;
    default:
      return -1;
  }
}

int ButtonOf(Uint8 sdl_button) {
  switch (sdl_button) {
    case SDL_BUTTON_LEFT:
      return 1;
    case SDL_BUTTON_RIGHT:
      return 2;
    case SDL_BUTTON_MIDDLE:
      return 3;
    default:
      return 0;
  }
}

// The window may be made no smaller than this fraction of the frame.
constexpr int kSmallestWindowDivisor = 5;

PadAxis PadAxisOf(uint8_t axis) {
  switch (axis) {
    case SDL_CONTROLLER_AXIS_LEFTX:
      return PadAxis::LeftX;
    case SDL_CONTROLLER_AXIS_LEFTY:
      return PadAxis::LeftY;
    case SDL_CONTROLLER_AXIS_RIGHTX:
      return PadAxis::RightX;
    case SDL_CONTROLLER_AXIS_RIGHTY:
      return PadAxis::RightY;
    case SDL_CONTROLLER_AXIS_TRIGGERLEFT:
      return PadAxis::LeftTrigger;
    default:
      return PadAxis::RightTrigger;
  }
}

PadButton PadButtonOf(uint8_t button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_A:
      return PadButton::A;
    case SDL_CONTROLLER_BUTTON_B:
      return PadButton::B;
    case SDL_CONTROLLER_BUTTON_X:
      return PadButton::X;
    case SDL_CONTROLLER_BUTTON_Y:
      return PadButton::Y;
    case SDL_CONTROLLER_BUTTON_BACK:
      return PadButton::Back;
    case SDL_CONTROLLER_BUTTON_START:
      return PadButton::Start;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
      return PadButton::LeftShoulder;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
      return PadButton::RightShoulder;
    default:
      return PadButton::Other;
  }
}

bool DesktopAnnounced() {
  return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

// SDL falls back to window-less video drivers when no desktop is reachable; a game
// nobody can see must not start.
bool ReachesADesktop() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}

double SecondsNow() {
  return double(SDL_GetPerformanceCounter()) / double(SDL_GetPerformanceFrequency());
}

// To the microsecond: whole milliseconds would leave the frame pacer short of its
// deadlines.
void SleepSeconds(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

}  // namespace

SdlPlatform::SdlPlatform() : pacer_(SecondsNow, SleepSeconds) {}

SdlPlatform::~SdlPlatform() {
  if (context_) {
    frame_.Destroy();
    SDL_GL_DeleteContext(context_);
  }
  if (window_) SDL_DestroyWindow(window_);
  SDL_Quit();
}

bool SdlPlatform::OpenGraphics(int width, int height, int /*depth*/, int hertz, int flags) {
  // Asked before SDL probes for a desktop, which makes the system libraries complain.
  if (!DesktopAnnounced()) {
    SayFailure("cannot open a display",
               "no desktop session (neither DISPLAY nor WAYLAND_DISPLAY is set)");
    return false;
  }
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
    SayFailure("cannot open a display", SDL_GetError());
    return false;
  }
  if (!ReachesADesktop()) {
    SayFailure("cannot open a display", "no desktop session is reachable");
    return false;
  }
  // Without game pad support the game is played with the keyboard and the mouse alone.
  SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
  width_ = width;
  height_ = height;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (flags & kGraphicsBackBuffer) ? 1 : 0);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, (flags & kGraphicsDepthBuffer) ? 24 : 0);
  window_ =
      SDL_CreateWindow(AppTitleText.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                       height, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
  if (!window_) {
    SayFailure("cannot open the window", SDL_GetError());
    return false;
  }
  SDL_SetWindowMinimumSize(window_, width / kSmallestWindowDivisor,
                           height / kSmallestWindowDivisor);
  if (!CreateContext() || !CreatePersistentFrame()) return false;
  ChoosePacing(hertz);
  return true;
}

bool SdlPlatform::CreateContext() {
  context_ = SDL_GL_CreateContext(window_);
  if (!context_) {
    SayFailure("no usable OpenGL", SDL_GetError());
    return false;
  }
  if (const char* why = LoadGlEntryPoints()) {
    SayFailure("cannot load OpenGL entry points", why);
    return false;
  }
  if (!glActiveTexture) {
    SayFailure("no usable OpenGL", "multitexturing (OpenGL 1.3) is missing");
    return false;
  }
  return true;
}

// Every frame draws over the previous one (the fading trails), and a swapped back
// buffer's contents are undefined; so the game draws into a frame buffer of its own
// that is copied to the window on each presentation.
bool SdlPlatform::CreatePersistentFrame() {
  if (const char* why = frame_.Create(width_, height_)) {
    SayFailure("no usable OpenGL", why);
    return false;
  }
  return true;
}

void SdlPlatform::ChoosePacing(int hertz) {
  SDL_DisplayMode mode{};
  const bool vsync = SDL_GL_SetSwapInterval(1) == 0;
  const bool mode_known = SDL_GetCurrentDisplayMode(SDL_GetWindowDisplayIndex(window_), &mode) == 0;
  pacer_.TrustSwap(vsync && mode_known && std::abs(mode.refresh_rate - hertz) <= 1);
}

void SdlPlatform::PresentFrame(int /*sync*/) {
  BlitFrameToWindow();
  SDL_GL_SwapWindow(window_);
  glBindFramebuffer(GL_FRAMEBUFFER, frame_.frame_buffer);
  pacer_.FrameDone();
}

// The frame keeps its own size whatever the window's: it is scaled into the largest
// rectangle of its shape that fits, and the bars beside it are black.
void SdlPlatform::BlitFrameToWindow() {
  int drawable_width = 0, drawable_height = 0;
  SDL_GL_GetDrawableSize(window_, &drawable_width, &drawable_height);
  const Letterbox box = FitFrame(width_, height_, drawable_width, drawable_height);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, frame_.frame_buffer);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  if (box.BarsLeftAndRight() || box.BarsAboveAndBelow()) {
    // The clear colour belongs to the game; it is lent for the bars and given back.
    GLfloat game_clear_colour[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, game_clear_colour);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(game_clear_colour[0], game_clear_colour[1], game_clear_colour[2],
                 game_clear_colour[3]);
  }
  // OpenGL counts rows upward from the bottom of the window.
  const int bottom = box.window_height - box.y - box.height;
  const bool unscaled = box.width == width_ && box.height == height_;
  glBlitFramebuffer(0, 0, width_, height_, box.x, bottom, box.x + box.width, bottom + box.height,
                    GL_COLOR_BUFFER_BIT, unscaled ? GL_NEAREST : GL_LINEAR);
}

int32_t SdlPlatform::ClockMillis() {
  return static_cast<int32_t>(SDL_GetTicks());
}

std::unique_ptr<TAudioDriver> SdlPlatform::OpenAudio() {
  const auto names = AudioDriverNames();
  return SelectAudioDriver(names.size() > 3 ? names[3] : "");
}

void SdlPlatform::PumpEvents() {
  SDL_Event event;
  while (SDL_PollEvent(&event)) HandleEvent(event);
  pads_.Apply(input_, aim_x_, aim_y_);
}

void SdlPlatform::HandleEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      input_.RequestClose();
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      HandleKey(event.key);
      break;
    case SDL_MOUSEBUTTONDOWN:
      input_.ButtonDown(ButtonOf(event.button.button));
      break;
    case SDL_MOUSEBUTTONUP:
      input_.ButtonUp(ButtonOf(event.button.button));
      break;
    case SDL_MOUSEMOTION:
      PointerAt(event.motion.x, event.motion.y);
      break;
    case SDL_MOUSEWHEEL:
      input_.Wheel(event.wheel.y);
      break;
    case SDL_WINDOWEVENT:
      HandleWindowEvent(event.window);
      break;
    default:
      HandlePadEvent(event);
      break;
  }
}

// Pads come and go while the game runs; SDL's mapping database names their sticks and
// buttons. A pad is known by its joystick instance id.
void SdlPlatform::HandlePadEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      if (SDL_GameController* pad = SDL_GameControllerOpen(event.cdevice.which)) {
        pads_.Attach(SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)));
      }
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      if (SDL_GameController* pad = SDL_GameControllerFromInstanceID(event.cdevice.which)) {
        SDL_GameControllerClose(pad);
      }
      pads_.Detach(event.cdevice.which, input_);
      break;
    case SDL_CONTROLLERAXISMOTION:
      pads_.Axis(event.caxis.which, PadAxisOf(event.caxis.axis), event.caxis.value);
      break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      pads_.Button(event.cbutton.which, PadButtonOf(event.cbutton.button),
                   event.type == SDL_CONTROLLERBUTTONDOWN, input_);
      break;
    default:
      break;
  }
}

void SdlPlatform::HandleKey(const SDL_KeyboardEvent& key) {
  // F11 belongs to the window, not to the game.
  if (key.keysym.sym == SDLK_F11) {
    if (key.type == SDL_KEYDOWN && !key.repeat) ToggleFullscreen();
    return;
  }
  const int virtual_key = VirtualKeyOf(key.keysym.sym);
  if (key.type == SDL_KEYDOWN)
    input_.KeyDown(virtual_key, key.repeat);
  else
    input_.KeyUp(virtual_key);
}

void SdlPlatform::HandleWindowEvent(const SDL_WindowEvent& window) {
  switch (window.event) {
    case SDL_WINDOWEVENT_FOCUS_LOST:
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      input_.ClearAll();
      pads_.Forget();
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      // A mouse pointer that rests while the window changes now lies over another frame
      // pixel; a pointer that a pad has moved since stays where the pad put it.
      if (input_.PointerX() == mouse_frame_point_.x && input_.PointerY() == mouse_frame_point_.y)
        PointerAt(mouse_window_x_, mouse_window_y_);
      break;
    default:
      break;
  }
}

void SdlPlatform::PointerAt(int window_x, int window_y) {
  mouse_window_x_ = window_x;
  mouse_window_y_ = window_y;
  mouse_frame_point_ = WindowToFrame(PointerBox(), window_x, window_y);
  input_.PointerMoved(mouse_frame_point_.x, mouse_frame_point_.y);
}

// Pointer events come in window coordinates, which can differ from the drawable's pixels
// on a scaled desktop; the blit works in the latter and asks for them itself.
Letterbox SdlPlatform::PointerBox() const {
  int window_width = 0, window_height = 0;
  SDL_GetWindowSize(window_, &window_width, &window_height);
  return FitFrame(width_, height_, window_width, window_height);
}

void SdlPlatform::ToggleFullscreen() {
  const bool fullscreen = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
  SDL_SetWindowFullscreen(window_, fullscreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}
