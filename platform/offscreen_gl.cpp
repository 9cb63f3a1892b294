#include "platform/offscreen_gl.h"

#include <GL/glew.h>
#include <SDL.h>

#include <string>

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
  glewExperimental = GL_TRUE;
  const GLenum glew = glewInit();
  if (glew != GLEW_OK && glew != GLEW_ERROR_NO_GLX_DISPLAY) {
    failure = reinterpret_cast<const char*>(glewGetErrorString(glew));
    return false;
  }
  if (!glGenFramebuffers) {
    failure = "frame buffer objects are missing";
    return false;
  }
  glGenRenderbuffers(1, &colour_buffer_);
  glBindRenderbuffer(GL_RENDERBUFFER, colour_buffer_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glGenRenderbuffers(1, &depth_buffer_);
  glBindRenderbuffer(GL_RENDERBUFFER, depth_buffer_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
  glGenFramebuffers(1, &frame_buffer_);
  glBindFramebuffer(GL_FRAMEBUFFER, frame_buffer_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_buffer_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_buffer_);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    failure = "the off-screen frame cannot be made";
    return false;
  }
  glViewport(0, 0, width, height);
  return true;
}

OffscreenGl::~OffscreenGl() {
  if (context_) {
    MakeCurrent();
    if (frame_buffer_) glDeleteFramebuffers(1, &frame_buffer_);
    if (colour_buffer_) glDeleteRenderbuffers(1, &colour_buffer_);
    if (depth_buffer_) glDeleteRenderbuffers(1, &depth_buffer_);
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
