#pragma once
// The OpenGL names of the drawing layer's primitives, switches and blend factors, for
// the back ends that talk to OpenGL.

#include <GL/glew.h>

#include "render/gl.h"

inline GLenum ToGl(Primitive primitive) {
  switch (primitive) {
    case Primitive::Quads:
      return GL_QUADS;
    case Primitive::Lines:
      return GL_LINES;
    case Primitive::LineStrip:
      return GL_LINE_STRIP;
  }
  return GL_QUADS;
}

inline GLenum ToGl(Capability capability) {
  switch (capability) {
    case Capability::Texture2D:
      return GL_TEXTURE_2D;
    case Capability::Blend:
      return GL_BLEND;
    case Capability::AlphaTest:
      return GL_ALPHA_TEST;
    case Capability::DepthTest:
      return GL_DEPTH_TEST;
  }
  return GL_TEXTURE_2D;
}

inline GLenum ToGl(BlendFactor factor) {
  switch (factor) {
    case BlendFactor::Zero:
      return GL_ZERO;
    case BlendFactor::One:
      return GL_ONE;
    case BlendFactor::SrcAlpha:
      return GL_SRC_ALPHA;
    case BlendFactor::OneMinusSrcAlpha:
      return GL_ONE_MINUS_SRC_ALPHA;
  }
  return GL_ONE;
}
