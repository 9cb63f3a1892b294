#include "render/text.h"

#include "platform/pixmap.h"
#include "render/textures.h"

namespace {

constexpr int kFirstGlyph = 33;  // "!"
constexpr float kCellWidth = 8.0f;
constexpr float kCellHeight = 16.0f;
constexpr float kStripWidth = 720.0f;
constexpr float kCellSpan = 0.0111111f;  // 8 / 720 of the strip
constexpr unsigned char kLineFeed = 10;

void draw_cell(Gl& gl, int code, float left, float right, float top, float bottom) {
  const float u0 = float((code - kFirstGlyph) * 8) / kStripWidth;
  const float u1 = u0 + kCellSpan;
  gl.Begin(Primitive::Quads);
  gl.TexCoord(u0, 0.0f);
  gl.Vertex(left, top);
  gl.TexCoord(u0, 1.0f);
  gl.Vertex(left, bottom);
  gl.TexCoord(u1, 1.0f);
  gl.Vertex(right, bottom);
  gl.TexCoord(u1, 0.0f);
  gl.Vertex(right, top);
  gl.End();
}

}  // namespace

TextureName make_font_texture(Gl& gl, const EmbeddedFiles& files) {
  const auto strip = LoadPixmapFile(files, "incbin::font.png");
  if (!strip) return 0;
  return make_texture(gl, *strip);
}

void draw_text(Gl& gl, TextureName font_texture, std::string_view text, float x, float y,
               float scale) {
  gl.ActiveTexture0();
  gl.BindTexture(font_texture);
  // Without its font (a strip that did not decode) text would come out as solid boxes.
  if (font_texture == 0) return;
  const float advance = kCellWidth * scale;
  const float line = kCellHeight * scale;
  float top = y;
  float bottom = y + line;
  float pen = x;
  for (const char character : text) {
    const unsigned char code = static_cast<unsigned char>(character);
    // Space and control characters take a cell but draw nothing.
    if (code >= kFirstGlyph) draw_cell(gl, code, pen, pen + advance, top, bottom);
    if (code == kLineFeed) {
      // The advance below brings the pen back to x.
      pen = x - advance;
      top = top + line;
      bottom = bottom + line;
    }
    pen = pen + advance;
  }
}
