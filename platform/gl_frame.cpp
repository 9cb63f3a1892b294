#include "platform/gl_frame.h"

#include <GL/glew.h>

const char* LoadGlEntryPoints() {
  glewExperimental = GL_TRUE;
  const GLenum glew = glewInit();
  // A context without a window-system binding GLEW knows is still usable.
  if (glew != GLEW_OK && glew != GLEW_ERROR_NO_GLX_DISPLAY) {
    return reinterpret_cast<const char*>(glewGetErrorString(glew));
  }
  return nullptr;
}

const char* GlFrame::Create(int width, int height) {
  if (!glGenFramebuffers || !glBlitFramebuffer) return "frame buffer objects are missing";
  glGenRenderbuffers(1, &colour_buffer);
  glBindRenderbuffer(GL_RENDERBUFFER, colour_buffer);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glGenRenderbuffers(1, &depth_buffer);
  glBindRenderbuffer(GL_RENDERBUFFER, depth_buffer);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
  glGenFramebuffers(1, &frame_buffer);
  glBindFramebuffer(GL_FRAMEBUFFER, frame_buffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_buffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_buffer);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    return "the off-screen frame cannot be made";
  }
  glViewport(0, 0, width, height);
  return nullptr;
}

void GlFrame::Destroy() {
  if (frame_buffer) glDeleteFramebuffers(1, &frame_buffer);
  if (colour_buffer) glDeleteRenderbuffers(1, &colour_buffer);
  if (depth_buffer) glDeleteRenderbuffers(1, &depth_buffer);
  *this = {};
}
