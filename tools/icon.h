#pragma once
// The desktop icon: the game's own ship sprite, turned toward an item's ring, over the
// central glow on a disc of the game's backdrop colours.

#include "platform/pixmap.h"

// The sizes the icon is installed in, in pixels.
inline constexpr int kIconSizes[] = {48, 64, 128, 256};

// The icon at size x size pixels.
TPixmap MakeIcon(int size);
