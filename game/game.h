#pragma once
// The game: its game-wide objects, the loop state, start-up, the frame and shutdown.
// One Game is one run of the program; tests and benchmarks make a fresh one each.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "game/game_audio.h"
#include "platform/audio.h"
#include "platform/platform.h"
#include "platform/random.h"
#include "platform/stream.h"
#include "render/gl.h"
#include "render/textures.h"
#include "world/world.h"

enum class WavePhase { fighting = 0, cleared = 1, starting = 2 };

struct Rgb {
  float r, g, b;
};

// What one frame to the next carries, apart from the game-wide objects.
struct LoopState {
  bool paused = false;
  bool playing = false;
  bool game_over = false;
  WavePhase wave_phase = WavePhase::starting;
  int32_t wave = 1;
  int32_t items_to_spawn = 0;
  int32_t spawn_timer = 0;
  int32_t fire_cooldown = 0;
  int32_t fire_interval = 5;
  int32_t thrust_level = 0;
  float bg_mix = 1.0f;
  float bg_mix_target = 0.0f;
  int32_t final_score = 0;
  int32_t final_wave = 0;
  Rgb fade_colour{0.11f, 0.25f, 0.2f};
  Rgb fade_target{0.35f, 0.1f, 0.05f};
};

struct GameTextures {
  TextureName font_texture = 0;
  SpriteTextures sprites;
  TextureName background_texture_a = 0;
  TextureName background_texture_b = 0;
  TextureName pause_texture = 0;
};

class Game {
 public:
  using GlFactory = std::function<std::unique_ptr<Gl>()>;

  // open_gl makes the drawing back end once the window's context exists.
  Game(Platform& platform, GlFactory open_gl);
  ~Game();

  // Start-up, every frame until Escape or the window's close, shutdown. The exit status.
  int Run();

  // The pieces of Run, for tests and benchmarks.
  bool StartUp();  // false when there is no window or no usable OpenGL
  bool QuitRequested();
  void RunFrame();
  void ShutDown();

  static constexpr int32_t screen_width = World::screen_width;
  static constexpr int32_t screen_height = World::screen_height;
  static constexpr const char* kTitle = "V E L U N K A     [v0.2]";

  Platform& platform;
  Gl& gl() { return *gl_; }
  EmbeddedFiles files;
  Random random;
  GameAudio audio;
  GameTextures textures;
  std::optional<TPixmap> background_pixmap, blur_scratch_pixmap;
  std::optional<TPixmap> snapshot_pixmap, snapshot_scratch_pixmap;
  LoopState state;
  // The play field; made at start-up once the drawing layer exists.
  std::optional<World> world;

 private:
  // Start-up steps.
  void RegisterFiles();
  void SetRunWideGlState();
  void MakeTextures();
  void MakeWorld();

  // Frame steps.
  void DrawBackdrop();
  void UpdateWorld();
  void WorldStep();
  void PauseKey();
  void WaveCycle();
  void ExtraKeys();
  void DrawOverlay();

  // Rules.
  void PlayerTurn();
  void Steer();
  void EmitThrustParticles();
  void Fire();
  void FireVolley();
  void SpawnItems();
  void SpawnItemAtRandom();
  void DrawShip();
  void CoastToRest();
  void StartWave();
  void NewGame();
  void WindDownDrain();
  void ClearAfterGameOver();

  // Screens.
  void UpdateFadeColours();
  void DrawBackgroundLayers();
  void DrawPauseScreen();
  void EnterPause();
  void LeavePause();
  void DrawTitleWord();
  void DrawTitleScreen();
  void DrawGameOverScreen();
  void DrawHud();
  void DrawHudBars();

  GlFactory open_gl_;
  std::unique_ptr<Gl> gl_;
};
