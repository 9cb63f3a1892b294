#include "platform/offscreen_gl.h"

#include <GL/glew.h>
#include <SDL.h>

#include <string>

#include "platform/gl_frame.h"

namespace {
std::string failure;
}  // namespace

const char* OffscreenGl::Failure() {
  return failure.c_str();
}

std::unique_ptr<OffscreenGl> OffscreenGl::Open(int width, int height) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    failure = SDL_GetError();
    return nullptr;
  }
  std::unique_ptr<OffscreenGl> made(new OffscreenGl());
  if (!made->Create(width, height)) return nullptr;
  return made;
}

// Asks for the same compatibility context the game's window gets.
bool OffscreenGl::Create(int width, int height) {
  window_ = SDL_CreateWindow("offscreen", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!window_) {
    failure = SDL_GetError();
    return false;
  }
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  context_ = SDL_GL_CreateContext(window_);
  if (!context_) {
    failure = SDL_GetError();
    return false;
  }
  if (const char* why = LoadGlEntryPoints()) {
    failure = why;
    return false;
  }
  if (const char* why = frame_.Create(width, height)) {
    failure = why;
    return false;
  }
  return true;
}

OffscreenGl::~OffscreenGl() {
  if (context_) {
    MakeCurrent();
    frame_.Destroy();
    SDL_GL_DeleteContext(context_);
  }
  if (window_) SDL_DestroyWindow(window_);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void OffscreenGl::MakeCurrent() {
  SDL_GL_MakeCurrent(window_, context_);
}

void OffscreenGl::Finish() {
  glFinish();
}
