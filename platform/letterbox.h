#pragma once
// Showing the game's fixed-size frame in a window of any size: the frame is scaled to
// fit with its aspect kept and centred, black bars fill the rest, and a window position
// maps back to the frame pixel under it so that aiming stays exact at any size.

struct Letterbox {
  int frame_width = 0, frame_height = 0;    // the game's frame
  int window_width = 0, window_height = 0;  // the area it is shown in
  int x = 0, y = 0, width = 0, height = 0;  // the scaled frame within it, y downward

  bool BarsLeftAndRight() const { return width < window_width; }
  bool BarsAboveAndBelow() const { return height < window_height; }
};

// The largest centred rectangle of the frame's aspect that fits the window. A window of
// the frame's own size gives the frame unscaled, at (0, 0).
Letterbox FitFrame(int frame_width, int frame_height, int window_width, int window_height);

struct FramePoint {
  int x, y;
};

// The frame pixel under the window pixel (x, y). On an axis along which the window shows
// bars the result is clamped to the frame, so a pointer over a bar aims at the frame's
// edge; along the other axis it stays linear, as the window reports positions beyond its
// edges while a button is held.
FramePoint WindowToFrame(const Letterbox& box, int x, int y);
