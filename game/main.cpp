// The program: no arguments, no configuration; it plays until Escape or the window's
// close and exits 0, or says in one line why it cannot start and exits 1.

#include "game/game.h"
#include "platform/sdl_platform.h"
#include "render/opengl_backend.h"

int main() {
  SdlPlatform platform;
  Game game(platform, make_opengl_backend);
  return game.Run();
}
