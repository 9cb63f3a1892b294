#pragma once
// The choice of the drawing back end, made once when the window's context exists: the
// batching back end where the context offers what it needs, else the literal
// immediate-mode one, which every context the game starts on can run.

#include <memory>

#include "render/gl.h"

std::unique_ptr<Gl> make_opengl_backend();
