#pragma once
// Textures computed at run time: the four radial sprites, the background pattern grown
// by a mirror-symmetric walking brush, the brush stamps and the box blur they use, and
// the blurred still behind the pause screen.

#include <cstdint>

#include "platform/pixmap.h"
#include "platform/random.h"
#include "render/gl.h"

// Side of the square background pattern, in pixels.
inline constexpr int kBackgroundSize = 600;
// Side of the square sprites.
inline constexpr int kSpriteSize = 64;

// Uploads the pixmap as a new linear-filtered texture and leaves it bound.
TextureName make_texture(Gl& gl, const TPixmap& pixmap);
// Deletes the texture in slot (if any) and puts a new one made from the pixmap there.
void replace_texture(Gl& gl, TextureName& slot, const TPixmap& pixmap);

// The 64 x 64 sprite pictures.
TPixmap make_ship_pixmap();   // white teardrop, narrow end at the top
TPixmap make_shade_pixmap();  // dark grey soft disc
TPixmap make_glow_pixmap();   // white soft disc
TPixmap make_ring_pixmap();   // white ring, transparent inside

struct SpriteTextures {
  TextureName ship = 0;
  TextureName shade = 0;
  TextureName glow = 0;
  TextureName ring = 0;
};
// Makes the four sprite textures in the order ship, shade, glow, ring.
SpriteTextures make_sprite_textures(Gl& gl);

// Adds a soft white disc of the given diameter, centred at (cx, cy), to the alpha of a
// 600 x 600 pixmap.
void stamp_disc(TPixmap& pixmap, float cx, float cy, float size);
// Clears a disc of diameter d centred at (cx, cy) and draws a thin bright rim whose
// width grows with the brush size.
void stamp_ring(TPixmap& pixmap, float cx, float cy, float d, float size);
// Separable box filter of 2 x radius pixels over every byte of the first width x height
// pixels; the result is in image, scratch keeps the horizontal pass.
void box_blur(int radius, TPixmap& image, TPixmap& scratch, int width, int height);

// The first step of a new background: halves the alpha of the old pattern (every pixel
// becomes white) and folds its lower half upside down onto the upper half, in place.
void fade_background(TPixmap& pattern);

// Regrows the 600 x 600 background over a faded, mirrored echo of the one it holds. The
// generator is reseeded from clock_millis (the caller passes ClockMillis()), so every
// background differs and one clock reading always grows the same pattern.
void make_background(TPixmap& background, TPixmap& scratch, Random& random, int32_t clock_millis);

// Reads the current frame into snapshot (which has the window's size), blurs it twice,
// turns it upright and returns a new texture of it. snapshot is replaced by the upright
// picture; scratch must have the same size.
TextureName make_pause_texture(Gl& gl, TPixmap& snapshot, TPixmap& scratch);
