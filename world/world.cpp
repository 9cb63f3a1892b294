#include "world/world.h"

ExhaustGrid::ExhaustGrid(int32_t width, int32_t height, Random& random)
    : grid_columns(width / grid_cell_size + 2), grid_rows(height / grid_cell_size + 2) {
  grid_offsets.resize(grid_columns + grid_columns * grid_rows);
  for (vec& offset : grid_offsets) {
    const float x = static_cast<float>(random.RandomRange(-20, 20));
    const float y = static_cast<float>(random.RandomRange(-20, 20));
    offset.set(x, y);
  }
}

// Column 0 takes every x < 0, column c >= 1 takes 16 (c - 1) <= x < 16 c, and the last
// column everything to the right; likewise for rows. The index is worked out in float.
vec& ExhaustGrid::cell(float px, float py) {
  int32_t column = static_cast<int32_t>(px / grid_cell_size + 1);
  int32_t row = static_cast<int32_t>(py / grid_cell_size + 1);
  if (column >= grid_columns) column = grid_columns - 1;
  if (row >= grid_rows) row = grid_rows - 1;
  if (column < 0) column = 0;
  if (row < 0) row = 0;
  return grid_offsets[column + row * grid_columns];
}

World::World(Gl& gl, Random& random, WorldSounds& sounds, const SpriteTextures& sprites)
    : gl(gl),
      random(random),
      sounds(sounds),
      sprites(sprites),
      grid(screen_width, screen_height, random) {}
