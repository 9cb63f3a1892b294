#include "render/opengl_gl.h"

#include <GL/glew.h>

#include "render/gl_enums.h"

namespace {}  // namespace

void OpenGlBackend::OnBegin(Primitive primitive) {
  glBegin(ToGl(primitive));
}
void OpenGlBackend::OnEnd() {
  glEnd();
}

void OpenGlBackend::OnVertex(const GlVertex& vertex) {
  glColor4f(vertex.colour.r, vertex.colour.g, vertex.colour.b, vertex.colour.a);
  glTexCoord2f(vertex.u, vertex.v);
  glVertex2f(vertex.x, vertex.y);
}

void OpenGlBackend::OnEnable(Capability capability, bool on) {
  on ? glEnable(ToGl(capability)) : glDisable(ToGl(capability));
}

void OpenGlBackend::OnBlendFunc(BlendFactor source, BlendFactor destination) {
  glBlendFunc(ToGl(source), ToGl(destination));
}

void OpenGlBackend::OnLineWidth(float width) {
  glLineWidth(width);
}

void OpenGlBackend::OnPixelProjection(int width, int height) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, height, 0, -10, 1000);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void OpenGlBackend::OnAlphaTestNotZero() {
  glAlphaFunc(GL_NOTEQUAL, 0.0f);
}

void OpenGlBackend::OnClear(const Colour& colour) {
  glClearColor(colour.r, colour.g, colour.b, colour.a);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void OpenGlBackend::OnActiveTexture0() {
  glActiveTexture(GL_TEXTURE0);
}
void OpenGlBackend::OnBindTexture(TextureName name) {
  glBindTexture(GL_TEXTURE_2D, name);
}

TextureName OpenGlBackend::OnGenTexture() {
  GLuint name = 0;
  glGenTextures(1, &name);
  return name;
}

void OpenGlBackend::OnTexImageRgba(int width, int height, const uint8_t* pixels) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexImage2D(GL_TEXTURE_2D, 0, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

void OpenGlBackend::OnDeleteTexture(TextureName name) {
  glDeleteTextures(1, &name);
}

void OpenGlBackend::OnReadPixels(int width, int height, uint8_t* destination) {
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, destination);
}
