#pragma once
// The recurring shapes of the game. Each call is one primitive and sends geometry
// only: the caller has bound the texture, set the colour, chosen the blend function
// and switched texturing on or off.

#include "render/gl.h"

// A textured square centred on (x, y) with half-side r. A negative r turns the
// texture by 180 degrees.
void draw_quad(Gl& gl, float x, float y, float r);

// A band from point 1 to point 2 with half-width vector (nx, ny); it samples only the
// middle row of the texture, whose u axis runs across the band.
void draw_beam(Gl& gl, float x1, float y1, float x2, float y2, float nx, float ny);

// The one-pixel outline of the rectangle from (x1, y1) to (x2, y2), covering pixels
// x1 to x2 + 1 and y1 to y2 + 1.
void draw_frame(Gl& gl, float x1, float y1, float x2, float y2);

// A line strip through three points, coloured outer - middle - outer; the outer colour
// stays current afterwards.
void draw_line3(Gl& gl, float x1, float y1, float x2, float y2, float x3, float y3,
                const Colour& outer_colour, const Colour& middle_colour);
