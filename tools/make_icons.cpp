// make_icons: writes the desktop icon at every installed size, as
// OUT_DIR/velunka-SIZE.png (desktop/icons/ holds its committed output).
//   make_icons OUT_DIR

#include <cstdio>
#include <string>

#include "tools/icon.h"
#include "tools/png_file.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_icons OUT_DIR\n", stderr);
    return 2;
  }
  for (const int size : kIconSizes) {
    const std::string path = std::string(argv[1]) + "/velunka-" + std::to_string(size) + ".png";
    if (!WritePngFile(MakeIcon(size), path)) {
      std::fprintf(stderr, "make_icons: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
