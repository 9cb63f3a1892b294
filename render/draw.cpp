#include "render/draw.h"

void draw_quad(Gl& gl, float x, float y, float r) {
  gl.Begin(Primitive::Quads);
  gl.TexCoord(1, 0);
  gl.Vertex(x + r, y - r);
  gl.TexCoord(0, 0);
  gl.Vertex(x - r, y - r);
  gl.TexCoord(0, 1);
  gl.Vertex(x - r, y + r);
  gl.TexCoord(1, 1);
  gl.Vertex(x + r, y + r);
  gl.End();
}

void draw_beam(Gl& gl, float x1, float y1, float x2, float y2, float nx, float ny) {
  gl.Begin(Primitive::Quads);
  gl.TexCoord(1, 0.5f);
  gl.Vertex(x1 + nx, y1 + ny);
  gl.TexCoord(0, 0.5f);
  gl.Vertex(x1 - nx, y1 - ny);
  gl.TexCoord(0, 0.5f);
  gl.Vertex(x2 - nx, y2 - ny);
  gl.TexCoord(1, 0.5f);
  gl.Vertex(x2 + nx, y2 + ny);
  gl.End();
}

namespace {
// One edge of a frame: the four corners of the quad from (left, top) to (right, bottom),
// sent right-top first like every quad of the game.
void frame_edge(Gl& gl, float left, float top, float right, float bottom) {
  gl.Vertex(right, top);
  gl.Vertex(left, top);
  gl.Vertex(left, bottom);
  gl.Vertex(right, bottom);
}
}  // namespace

void draw_frame(Gl& gl, float x1, float y1, float x2, float y2) {
  gl.Begin(Primitive::Quads);
  frame_edge(gl, x1, y1, x2, y1 + 1);      // top
  frame_edge(gl, x1, y1, x1 + 1, y2);      // left
  frame_edge(gl, x1, y2, x2 + 1, y2 + 1);  // bottom, one pixel longer than the top
  frame_edge(gl, x2, y1, x2 + 1, y2);      // right
  gl.End();
}

void draw_line3(Gl& gl, float x1, float y1, float x2, float y2, float x3, float y3,
                const Colour& outer_colour, const Colour& middle_colour) {
  gl.Begin(Primitive::LineStrip);
  gl.Color(outer_colour);
  gl.Vertex(x1, y1);
  gl.Color(middle_colour);
  gl.Vertex(x2, y2);
  gl.Color(outer_colour);
  gl.Vertex(x3, y3);
  gl.End();
}
