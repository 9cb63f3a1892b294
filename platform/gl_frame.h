#pragma once
// What the game's window and the off-screen contexts of tests share: loading the OpenGL
// entry points, and a frame buffer of the program's own that keeps its image from one
// frame to the next (colour in 8 bits a channel with alpha, and depth).

// Loads the entry points beyond OpenGL 1.1 for the current context; null when that
// worked, else why not.
const char* LoadGlEntryPoints();

struct GlFrame {
  // Makes the frame at the given size and leaves it bound for drawing with the
  // viewport covering it; null when that worked, else why not.
  const char* Create(int width, int height);
  // Releases the frame; the context that made it must be current.
  void Destroy();

  unsigned frame_buffer = 0;
  unsigned colour_buffer = 0;
  unsigned depth_buffer = 0;
};
