// The rules in scripted headless games: firing, waves, new games, game over, the extra
// keys, the screens' texts and the HUD.

#include <algorithm>

#include "headless_game.h"

namespace {

using Rules = HeadlessGame;

TEST_F(Rules, TheFirstFrameShowsTheTitleAndStartsWaveTwo) {
  StartUp();
  Frame();
  EXPECT_EQ(game.state.wave, 2);
  EXPECT_FALSE(game.state.playing);
  EXPECT_TRUE(Shows("v E l u N k a"));
  EXPECT_TRUE(Shows("CLICK MOUSE TO START"));
  EXPECT_EQ(world().ball_list.Count() > 1000, true);
}

TEST_F(Rules, AClickOnTheFirstFrameStartsWaveOneThere) {
  StartGame();
  EXPECT_TRUE(game.state.playing);
  EXPECT_EQ(game.state.wave, 1);
  EXPECT_EQ(game.state.items_to_spawn, 1);
  EXPECT_TRUE(Shows("WAVE:1"));
  EXPECT_TRUE(Shows("$0"));
  EXPECT_TRUE(Shows("WEAPON:1"));
  EXPECT_EQ(world().ball_list.Count(), 0);  // the title swarm is gone
}

class Firing : public HeadlessGame {
 protected:
  void SetUp() override {
    StartGame();
    platform.Input().PointerMoved(600, 350);  // straight to the right of the ship
    Frame();                                  // the ship turns
    platform.Input().ButtonDown(1);
  }
  // Shots made this frame: after their first move they lie just ahead of the muzzle.
  int NewShots() {
    int count = 0;
    for (auto link : world().shot_list) {
      const float x = link.Value()->x;
      count += x > player().x + 20 && x <= player().x + 20 + 35;
    }
    return count;
  }
  std::vector<int> ShotsPerFrame(int frames) {
    std::vector<int> shots;
    for (int i = 0; i < frames; ++i) {
      Frame();
      shots.push_back(NewShots());
    }
    return shots;
  }
};

TEST_F(Firing, LevelZeroFiresOneShotEveryElevenFrames) {
  const auto shots = ShotsPerFrame(23);
  for (int frame = 0; frame < 23; ++frame) {
    EXPECT_EQ(shots[frame], frame % 11 == 0 ? 1 : 0) << frame;
  }
  EXPECT_EQ(game.audio.laser_channel->Volume(), 0.5f);
  EXPECT_EQ(game.audio.laser_channel->Pan(), 0.0f);  // the ship is at the centre
}

TEST_F(Firing, LevelTwoFiresAFanOfThreeEveryThirdFrame) {
  player().weapon = 2.5f;
  const auto shots = ShotsPerFrame(7);
  EXPECT_EQ(shots, (std::vector<int>{3, 0, 0, 3, 0, 0, 3}));
  EXPECT_EQ(game.audio.laser_channel->Volume(), 0.25f);
  EXPECT_FLOAT_EQ(player().weapon, 2.5f * 0.999f * 0.999f * 0.999f);
}

TEST_F(Firing, AVolleyAtLevelOneWearsTheWeaponDownToLevelZero) {
  player().weapon = 1.0f;
  EXPECT_EQ(ShotsPerFrame(1), (std::vector<int>{2}));
  EXPECT_EQ(player().weapon, 0.999f);
  const auto shots = ShotsPerFrame(6);
  EXPECT_EQ(shots[5], 1);  // after fire_interval 5 the next volley comes at level 0
  EXPECT_EQ(game.state.fire_interval, 10);
  EXPECT_EQ(game.audio.laser_channel->Volume(), 0.5f);
}

TEST_F(Rules, WaveThreeSpawnsThreeItems32FramesApartAndZAddsOneMore) {
  StartGame();
  player().x = player().y = -5000;  // out of reach of every item
  game.state.wave = 2;
  game.state.wave_phase = WavePhase::starting;
  game.state.spawn_timer = 0;
  std::vector<int> spawn_frames;
  for (int frame = 1; frame <= 100; ++frame) {
    const int before = world().item_list.Count();
    Frame();
    if (world().item_list.Count() > before) spawn_frames.push_back(frame);
  }
  EXPECT_EQ(game.state.wave, 3);
  EXPECT_EQ(spawn_frames, (std::vector<int>{32, 64, 96}));
  Press(key::kZ);
  Frame();
  ASSERT_EQ(world().item_list.Count(), 4);
  // Three are collected; the extra one still holds the wave open.
  for (int i = 0; i < 3; ++i) world().item_list.FirstLink().Value()->link.Remove();
  Frames(5);
  EXPECT_EQ(game.state.wave_phase, WavePhase::fighting);
  world().item_list.Clear();
  Frame();
  EXPECT_EQ(game.state.wave_phase, WavePhase::cleared);
}

TEST_F(Rules, TheClearedPhaseEndsWhenTheVelocityComponentsCancel) {
  StartGame();
  world().item_list.Clear();
  game.state.items_to_spawn = 0;
  game.state.wave_phase = WavePhase::cleared;
  player().vx = 5;
  player().vy = -5;
  Frame();
  EXPECT_EQ(game.state.wave, 2);  // the next wave started in the same frame
  EXPECT_EQ(game.state.wave_phase, WavePhase::fighting);
  EXPECT_FLOAT_EQ(player().vx, 4.6f);  // while the ship still moves
}

TEST_F(Rules, GameOverFlashesAndANewGameStartsAtWaveOneKeepingTheShipsVelocity) {
  StartGame();
  player().score = 1234;
  game.state.wave = 12;
  player().shield = 0;
  Frame();
  EXPECT_TRUE(game.state.game_over);
  EXPECT_FALSE(game.state.playing);
  EXPECT_EQ(game.state.final_score, 1234);
  const auto texts = Texts();
  const auto line = std::find_if(texts.begin(), texts.end(),
                                 [](const DrawnText& t) { return t.text.starts_with("WAVE:"); });
  ASSERT_NE(line, texts.end());
  EXPECT_EQ(line->text, "WAVE:12   SCORE: $1234");  // 22 characters, centred
  EXPECT_EQ(line->x, 262);
  EXPECT_EQ(line->y, 235);
  EXPECT_TRUE(Shows("GAME OVER"));
  EXPECT_TRUE(Shows("CLICK MOUSE TO RESTART"));

  Frame();  // the backdrop turns from the white flash toward red
  EXPECT_GT(game.state.fade_colour.g, 0.5f);
  EXPECT_LT(game.state.fade_colour.g, 1.0f);
  player().vx = 2;
  player().vy = -1;
  Click();
  Frame();
  EXPECT_TRUE(game.state.playing);
  EXPECT_FALSE(game.state.game_over);
  EXPECT_EQ(game.state.wave, 1);
  EXPECT_EQ(player().shield, 1.0f);
  EXPECT_EQ(player().score, 0);
  EXPECT_EQ(player().vx, 2.0f);  // kept
  Frame();
  EXPECT_EQ(game.state.fade_colour.g, 0.25f);  // teal again
}

TEST_F(Rules, SpaceAddsASwarmOnEveryScreenButGameOverClearsItAtOnce) {
  StartUp();
  Frame();
  const int title_balls = world().ball_list.Count();
  Press(key::kSpace);
  Frame();
  EXPECT_GT(world().ball_list.Count(), title_balls + 1000);

  Click();
  Frame();
  Press(key::kSpace);
  Frame();
  EXPECT_EQ(world().ball_list.Count(), 1500);

  player().shield = 0;
  Frame();
  Press(key::kSpace);
  Frame();
  EXPECT_EQ(world().ball_list.Count(), 0);
}

TEST_F(Rules, PauseOnTheTitleScreenTakesTheClickThatEndsIt) {
  StartUp();
  Frame();
  Press(key::kP);
  Frame();
  ASSERT_TRUE(game.state.paused);
  Click();
  Frame();
  EXPECT_FALSE(game.state.paused);
  EXPECT_FALSE(game.state.playing);
  Frame();
  EXPECT_FALSE(game.state.playing);
  EXPECT_TRUE(Shows("v E l u N k a"));
}

TEST_F(Rules, TheTitleWordTakesTheColourOfTheLastDrawnObject) {
  StartUp();
  Frame();
  const auto balls = QuadsWith(game.textures.sprites.shade);
  const Colour last_ball = balls.back().vertices[0].colour;
  EXPECT_EQ(Texts().front().colour, last_ball);
  Press(key::kP);
  Frame();
  Frame();  // paused: nothing is drawn after the backdrop but the pause screen
  const auto texts = Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].text, "P A U S E D");
  EXPECT_EQ(texts[1].text, "v E l u N k a");
  EXPECT_EQ(texts[1].colour, (Colour{1, 1, 1, 1}));
}

// The bars as drawn: the shield's and then the weapon's, each from its left end.
std::pair<float, float> BarEnds(const GlRecorder& recorder) {
  std::vector<float> ends;
  for (const auto& primitive : recorder.Primitives()) {
    if (!primitive.textured && primitive.vertices.size() == 4 && primitive.vertices[0].v == 0.5f) {
      ends.push_back(primitive.vertices[3].x);
    }
  }
  return {ends.at(ends.size() - 2), ends.back()};
}

TEST_F(Rules, TheHudShowsShieldAndWeaponAsBarsAndNumbers) {
  StartGame();
  player().x = player().y = -5000;
  player().weapon = 2.99f;
  Frame();
  EXPECT_EQ(BarEnds(*recorder).first, 200);
  EXPECT_FLOAT_EQ(BarEnds(*recorder).second, 399);
  EXPECT_TRUE(Shows("WEAPON:3"));
  player().weapon = 1.0f;
  player().shield = 0.0001f;
  Frame();
  EXPECT_NEAR(BarEnds(*recorder).first, 100, 0.02);
  EXPECT_EQ(BarEnds(*recorder).second, 300);
  EXPECT_TRUE(Shows("WEAPON:2"));
  EXPECT_FALSE(recorder->IsEnabled(Capability::Texture2D));
}

}  // namespace

namespace {

class Sounds : public HeadlessGame {
 protected:
  Sounds() : HeadlessGame(HeadlessPlatform::Audio::Loopback) {}
};

TEST_F(Sounds, EverySoundIsCuedOnItsChannelWithItsPanVolumeAndRate) {
  StartGame();
  player().x = 175;
  player().y = 350;
  platform.Input().PointerMoved(600, 350);
  Frame();
  ball::Create(world(), 180, 350, 0, 0, 4, 8, nullptr);    // touching the ship
  ball::Create(world(), 215, 350, 0, 0, 25, 30, nullptr);  // over the first shot's start
  auto collected = item::Create(world(), 185, 340, 0);
  collected->appear = -0.05f;
  platform.Input().ButtonDown(1);
  Frame();
  GameAudio& audio = game.audio;
  EXPECT_EQ(audio.laser_channel->Volume(), 0.5f);
  EXPECT_EQ(audio.laser_channel->Pan(), -0.5f);
  EXPECT_FLOAT_EQ(audio.pop_channels[0]->Pan(), -1 + 2 * 230.0f / 700);  // the shot's new x
  EXPECT_EQ(audio.pop_channels[0]->Volume(), 0.05f);
  EXPECT_EQ(audio.collect_channels[0]->Pan(), -0.5f);
  EXPECT_EQ(audio.collect_channels[0]->Volume(), 0.2f);
  EXPECT_FLOAT_EQ(audio.drain_channel->Rate(),
                  0.2f + 0.8f * (1 - 0.00002f * 2));     // before the item
  EXPECT_FLOAT_EQ(audio.drain_channel->Volume(), 0.1f);  // one touching ball
  EXPECT_TRUE(audio.laser_channel->Playing());           // all started by the channel upkeep
  EXPECT_TRUE(audio.pop_channels[0]->Playing());
  EXPECT_TRUE(audio.collect_channels[0]->Playing());

  Press(key::kP);
  Frame();
  EXPECT_EQ(audio.drain_channel->Volume(), 0.0f);
  Click();
  Frame();
  player().shield = 0;
  Frame();  // the first game-over frame: level 1, then 0.9
  EXPECT_FLOAT_EQ(audio.drain_channel->Volume(), 0.9f);
  EXPECT_FLOAT_EQ(audio.drain_channel->Rate(), 0.27f);
}

}  // namespace
