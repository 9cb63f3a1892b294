#include "platform/sdl_platform.h"

#include <GL/glew.h>
#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

void SleepSeconds(double seconds) {
  SDL_Delay(Uint32(seconds * 1000.0));
}

}  // namespace

SdlPlatform::SdlPlatform() : pacer_(SecondsNow, SleepSeconds) {}

SdlPlatform::~SdlPlatform() {
  if (context_) {
    if (frame_buffer_) glDeleteFramebuffers(1, &frame_buffer_);
    if (colour_buffer_) glDeleteRenderbuffers(1, &colour_buffer_);
    if (depth_buffer_) glDeleteRenderbuffers(1, &depth_buffer_);
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
  window_ = SDL_CreateWindow(AppTitleText.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                             width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
  if (!window_) {
    SayFailure("cannot open the window", SDL_GetError());
    return false;
  }
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
  glewExperimental = GL_TRUE;
  const GLenum glew = glewInit();
  // A context without a window-system binding GLEW knows is still usable.
  if (glew != GLEW_OK && glew != GLEW_ERROR_NO_GLX_DISPLAY) {
    SayFailure("cannot load OpenGL entry points",
               reinterpret_cast<const char*>(glewGetErrorString(glew)));
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
  if (!glGenFramebuffers || !glBlitFramebuffer) {
    SayFailure("no usable OpenGL", "frame buffer objects are missing");
    return false;
  }
  glGenRenderbuffers(1, &colour_buffer_);
  glBindRenderbuffer(GL_RENDERBUFFER, colour_buffer_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width_, height_);
  glGenRenderbuffers(1, &depth_buffer_);
  glBindRenderbuffer(GL_RENDERBUFFER, depth_buffer_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width_, height_);
  glGenFramebuffers(1, &frame_buffer_);
  glBindFramebuffer(GL_FRAMEBUFFER, frame_buffer_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_buffer_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_buffer_);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    SayFailure("no usable OpenGL", "the off-screen frame cannot be made");
    return false;
  }
  glViewport(0, 0, width_, height_);
  return true;
}

void SdlPlatform::ChoosePacing(int hertz) {
  SDL_DisplayMode mode{};
  const bool vsync = SDL_GL_SetSwapInterval(1) == 0;
  const bool mode_known = SDL_GetCurrentDisplayMode(SDL_GetWindowDisplayIndex(window_), &mode) == 0;
  pacer_.TrustSwap(vsync && mode_known && std::abs(mode.refresh_rate - hertz) <= 1);
}

void SdlPlatform::PresentFrame(int /*sync*/) {
  glBindFramebuffer(GL_READ_FRAMEBUFFER, frame_buffer_);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  SDL_GL_SwapWindow(window_);
  glBindFramebuffer(GL_FRAMEBUFFER, frame_buffer_);
  pacer_.FrameDone();
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
      input_.KeyDown(VirtualKeyOf(event.key.keysym.sym), event.key.repeat);
      break;
    case SDL_KEYUP:
      input_.KeyUp(VirtualKeyOf(event.key.keysym.sym));
      break;
    case SDL_MOUSEBUTTONDOWN:
      input_.ButtonDown(ButtonOf(event.button.button));
      break;
    case SDL_MOUSEBUTTONUP:
      input_.ButtonUp(ButtonOf(event.button.button));
      break;
    case SDL_MOUSEMOTION:
      input_.PointerMoved(event.motion.x, event.motion.y);
      break;
    case SDL_MOUSEWHEEL:
      input_.Wheel(event.wheel.y);
      break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST ||
          event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
        input_.ClearAll();
        pads_.Forget();
      }
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
