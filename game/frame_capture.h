#pragma once
// Frames of a scripted headless game, captured as replayable recordings for the tests
// and benchmarks that draw them again on the OpenGL back ends.

#include <string>

#include "render/gl_recording.h"

enum class CapturedScene {
  Title,      // the title screen with its swarm of 1500 balls
  Title6000,  // the title screen after Space has called in three more swarms
  Play,       // wave 1 in play by the scripted player: item, exhaust, shots, hits, HUD
  Pause,      // the pause: the frame that takes the still, then the paused screen
};

const char* NameOf(CapturedScene scene);

// Runs a fresh headless game to the scene and records the next frames. While the game
// reads the frame back (the pause still) it gets a fixed picture with varied colour
// and alpha, as a real frame would have.
GlRecording capture_frames(CapturedScene scene, int frames);
