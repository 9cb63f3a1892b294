// An hour of play at 60 frames per second, headless: 216 000 frames of the scripted
// player playing game after game (it gives up after three cleared waves, so games end).
// Reports the resident memory after the first minute and at the end; the end must not
// be higher by more than a few percent. Not part of the test suite: it takes minutes.
//   soak_bench [FRAMES]

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "game/autopilot.h"
#include "platform/headless_platform.h"
#include "render/gl_recorder.h"

namespace {

// Resident memory now, in KiB, from the kernel's account of this process.
long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const long frames = argc > 1 ? std::atol(argv[1]) : 216000;
  HeadlessPlatform platform;
  Game game(platform, [] { return std::make_unique<GlRecorder>(false); });
  if (!game.StartUp()) return 1;
  Autopilot pilot;
  long games = 0, cleared_waves = 0, resident_after_a_minute = 0;
  for (long frame = 0; frame < frames; ++frame) {
    const bool was_playing = game.state.playing;
    const WavePhase phase = game.state.wave_phase;
    pilot.surrender = game.state.wave > 3;
    pilot.Play(game, platform.Input());
    game.RunFrame();
    games += !was_playing && game.state.playing;
    cleared_waves += phase != WavePhase::cleared && game.state.wave_phase == WavePhase::cleared;
    if (frame == 3600) resident_after_a_minute = ResidentKiB();
  }
  const long resident_at_end = ResidentKiB();
  std::printf("%ld frames, %ld games, %ld cleared waves\n", frames, games, cleared_waves);
  std::printf("resident memory: %ld KiB after a minute, %ld KiB at the end (%+.1f %%)\n",
              resident_after_a_minute, resident_at_end,
              100.0 * (resident_at_end - resident_after_a_minute) / resident_after_a_minute);
  return resident_at_end <= resident_after_a_minute * 105 / 100 ? 0 : 1;
}
