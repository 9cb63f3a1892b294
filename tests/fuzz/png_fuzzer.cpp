// Feeds arbitrary bytes to the PNG path as the game takes it: the font strip's texture is
// made from whatever "font.png" holds. A file that does not decode gives texture 0; one
// that does gives a texture of exactly its size.

#include <cstddef>
#include <cstdint>

#include "platform/pixmap.h"
#include "platform/stream.h"
#include "render/gl_recorder.h"
#include "render/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  EmbeddedFiles files;
  files.RegisterEmbeddedFile("font.png", data, size);
  GlRecorder gl;
  const TextureName font = make_font_texture(gl, files);
  if (font == 0) {
    if (!gl.LiveTextures().empty()) __builtin_trap();
    return 0;
  }
  const RecordedTexture& texture = gl.LiveTextures().at(font);
  if (texture.width <= 0 || texture.height <= 0) __builtin_trap();
  if (texture.pixels.size() != size_t(texture.width) * size_t(texture.height) * 4) __builtin_trap();
  draw_text(gl, font, "SCORE: 12", 10.0f, 10.0f, 1.5f);
  return 0;
}
