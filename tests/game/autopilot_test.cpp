// A whole game played headless by the scripted player, from the click on the title
// screen through several waves to game over: score, wave, shield, screens and sounds
// must tell one consistent story, frame by frame.

#include "game/autopilot.h"

#include <cmath>
#include <string>

#include "headless_game.h"

namespace {

class AutopilotGame : public HeadlessGame {
 protected:
  // Balls hit this frame: each hit flashes twice, first with half-side 50.
  int Hits() const {
    int hits = 0;
    for (const auto& quad : QuadsWith(game.textures.sprites.shade)) {
      const auto& v = quad.vertices;
      hits += v[0].colour == Colour{0.5f, 0.8f, 1, 1} && std::fabs(v[0].x - v[1].x - 100) < 0.01f;
    }
    return hits;
  }

  // What one frame of play changed, checked against what it drew and cued.
  void CheckFrame(const ship& before, int pop_before, int collect_before) {
    const int hits = Hits();
    const int collects = (world().collect_next - collect_before + 4) % 4;
    total_hits += hits;
    total_collects += collects;
    EXPECT_EQ(player().score - before.score, hits + 10 * collects);
    EXPECT_EQ(world().pop_next, (pop_before + hits) % 8);
    EXPECT_TRUE(player().shield <= before.shield || collects > 0);
    EXPECT_TRUE(player().shield >= before.shield || game.audio.drain_channel->Volume() > 0);
    if (game.state.game_over) return;
    EXPECT_TRUE(Shows("WAVE:" + std::to_string(game.state.wave)));
    EXPECT_TRUE(Shows("$" + std::to_string(player().score)));
  }

  Autopilot pilot;
  int total_hits = 0, total_collects = 0;
};

TEST_F(AutopilotGame, PlaysFromTheTitleThroughThreeClearedWavesToGameOver) {
  StartUp();
  Frame();
  EXPECT_TRUE(Shows("CLICK MOUSE TO START"));
  pilot.Play(game, platform.Input());
  Frame();
  ASSERT_TRUE(game.state.playing);
  int cleared_waves = 0;
  for (int frame = 0; frame < 30000 && !game.state.game_over; ++frame) {
    pilot.surrender = cleared_waves >= 3;
    pilot.Play(game, platform.Input());
    const ship before = player();
    const WavePhase phase = game.state.wave_phase;
    const int pop_before = world().pop_next, collect_before = world().collect_next;
    Frame();
    CheckFrame(before, pop_before, collect_before);
    cleared_waves += phase != WavePhase::cleared && game.state.wave_phase == WavePhase::cleared;
    if (::testing::Test::HasFailure()) break;
  }
  ASSERT_TRUE(game.state.game_over);
  EXPECT_GE(cleared_waves, 3);
  EXPECT_GE(game.state.wave, 4);
  EXPECT_EQ(game.state.final_wave, game.state.wave);
  EXPECT_EQ(game.state.final_score, total_hits + 10 * total_collects);
  EXPECT_GE(total_collects, 1 + 2 + 3);
  EXPECT_TRUE(Shows("GAME OVER"));
  EXPECT_TRUE(Shows("WAVE:" + std::to_string(game.state.final_wave) + "   SCORE: $" +
                    std::to_string(game.state.final_score)));
  EXPECT_EQ(world().ball_list.Count(), 0);
  EXPECT_EQ(world().item_list.Count(), 0);
}

}  // namespace
