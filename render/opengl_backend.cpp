#include "render/opengl_backend.h"

#include "render/batching_gl.h"
#include "render/opengl_gl.h"

std::unique_ptr<Gl> make_opengl_backend() {
  if (auto batching = BatchingGlBackend::Create()) return batching;
  return std::make_unique<OpenGlBackend>();
}
