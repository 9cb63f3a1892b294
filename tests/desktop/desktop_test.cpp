// The committed desktop icons and the version the window's caption shows.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/game.h"
#include "tools/icon.h"
#include "velunka_version.h"

namespace {

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// tools/make_icons writes desktop/icons/; a change to the sprites or the icon's drawing
// must come with the icons made anew. One step of difference is left to the maths library.
TEST(DesktopIcons, AreWhatTheGeneratorDraws) {
  for (const int size : kIconSizes) {
    const std::string path =
        std::string(VELUNKA_ICON_DIR) + "/velunka-" + std::to_string(size) + ".png";
    const std::vector<uint8_t> file = ReadFile(path);
    const std::optional<TPixmap> committed = DecodePng(file.data(), file.size());
    ASSERT_TRUE(committed) << path;
    const TPixmap drawn = MakeIcon(size);
    ASSERT_EQ(committed->Width(), size);
    ASSERT_EQ(committed->Height(), size);
    int differing = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x)
        for (int channel = 0; channel < 4; ++channel)
          differing +=
              std::abs(committed->PixelPtr(x, y)[channel] - drawn.PixelPtr(x, y)[channel]) > 1;
    EXPECT_EQ(differing, 0) << path;
  }
}

TEST(DesktopIcons, ShowTheShipOnAnOpaqueDiscWithClearCorners) {
  const TPixmap icon = MakeIcon(64);
  EXPECT_EQ(icon.ReadPixel(0, 0) >> 24, 0u);
  EXPECT_EQ(icon.ReadPixel(63, 63) >> 24, 0u);
  EXPECT_EQ(icon.ReadPixel(32, 4) >> 24, 255u);
  EXPECT_EQ(icon.ReadPixel(4, 32) >> 24, 255u);
}

TEST(Version, IsTheOneTheCaptionShows) {
  const std::string title = Game::kTitle;
  EXPECT_NE(title.find(std::string("[v") + kVelunkaVersion + "]"), std::string::npos) << title;
}

}  // namespace
