#pragma once
// On-screen text from the embedded bitmap font: one 720 x 16 strip of 8 x 16 glyph
// cells for the character codes 33 to 122.

#include <string_view>

#include "platform/stream.h"
#include "render/gl.h"

// The font strip as a texture, or 0 when "font.png" is missing or unreadable.
TextureName make_font_texture(Gl& gl, const EmbeddedFiles& files);

// Draws text with the top-left corner of its first cell at (x, y); each cell is
// 8 x scale by 16 x scale pixels. The caller sets colour and blending; texture unit 0
// is selected and font_texture bound, and both are left so. With font_texture 0 (no
// font) nothing is drawn.
void draw_text(Gl& gl, TextureName font_texture, std::string_view text, float x, float y,
               float scale);
