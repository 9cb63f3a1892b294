#include "game/game.h"

#include "assets/embedded_assets.h"
#include "render/draw.h"
#include "render/text.h"

Game::Game(Platform& platform, GlFactory open_gl)
    : platform(platform), open_gl_(std::move(open_gl)) {}

Game::~Game() = default;

int Game::Run() {
  if (!StartUp()) return 1;
  while (!QuitRequested()) RunFrame();
  ShutDown();
  return 0;
}

bool Game::StartUp() {
  RegisterFiles();
  platform.AppTitleText = kTitle;
  audio.driver = platform.OpenAudio();
  audio.MakeSounds(files);
  if (!platform.OpenGraphics(screen_width, screen_height, 0, 60,
                             kGraphicsBackBuffer | kGraphicsDepthBuffer)) {
    return false;
  }
  gl_ = open_gl_();
  SetRunWideGlState();
  MakeTextures();
  MakeWorld();
  random.SeedRandom(199);
  state = LoopState{};
  // The only clear of the run: from here on every frame draws over the last.
  gl_->ClearColor(0.21f, 0.35f, 0.3f, 1.0f);
  gl_->Clear();
  // The ship does not face anywhere yet, so this shot rests at the centre until the
  // first ball that crosses it.
  const ship& s = world->player_ship;
  shot::Create(*world, s.x + 20 * s.sx, s.y + 20 * s.sy, 35 * s.sx + s.sy, 35 * s.sy - s.sx, 10,
               999);
  return true;
}

void Game::RegisterFiles() {
  register_embedded_assets(files);
}

void Game::SetRunWideGlState() {
  gl_->PixelProjection(screen_width, screen_height);
  gl_->Disable(Capability::DepthTest);
  gl_->Enable(Capability::AlphaTest);
  gl_->AlphaTestNotZero();
  gl_->Enable(Capability::Blend);
  gl_->Enable(Capability::Texture2D);
}

void Game::MakeTextures() {
  textures.font_texture = make_font_texture(*gl_, files);
  textures.sprites = make_sprite_textures(*gl_);
  background_pixmap = TPixmap::Create(kBackgroundSize, kBackgroundSize);
  blur_scratch_pixmap = TPixmap::Create(kBackgroundSize, kBackgroundSize);
  make_background(*background_pixmap, *blur_scratch_pixmap, random, platform.ClockMillis());
  textures.background_texture_a = make_texture(*gl_, *background_pixmap);
  textures.background_texture_b = make_texture(*gl_, *background_pixmap);
  snapshot_pixmap = TPixmap::Create(screen_width, screen_height);
  snapshot_scratch_pixmap = TPixmap::Create(screen_width, screen_height);
}

// The offset grid's random draws come first, then the channels, the ship at the centre,
// one central item (left unseen until the first game clears it) and the title swarm.
void Game::MakeWorld() {
  world.emplace(*gl_, random, audio, textures.sprites);
  audio.AllocateChannels();
  ship& s = world->player_ship;
  s.x = screen_width * 0.5f;
  s.y = screen_height * 0.5f;
  s.shield = 1.0f;
  s.weapon = 0.0f;
  item::Create(*world, screen_width * 0.5f, screen_height * 0.5f, 0);
  spawn_ball_swarm(*world, 1500);
}

bool Game::QuitRequested() {
  return platform.KeyIsDown(key::kEscape) || platform.CloseRequested();
}

void Game::RunFrame() {
  DrawBackdrop();
  UpdateWorld();
  audio.StartCuedChannels();
  PauseKey();
  world->drain_level *= 0.5f;
  WaveCycle();
  ExtraKeys();
  DrawOverlay();
  platform.PresentFrame(1);
}

// While paused only the pause screen is drawn. In a game the player acts in the
// fighting phase and items spawn in every phase; on the title and game-over screens a
// click starts a new game. Then the world moves on.
void Game::UpdateWorld() {
  if (state.paused) {
    DrawPauseScreen();
    return;
  }
  if (state.playing) {
    if (state.wave_phase == WavePhase::fighting) PlayerTurn();
    SpawnItems();
  } else if (platform.MouseClickCount(1)) {
    NewGame();
  }
  WorldStep();
}

// Balls rebuild their tree and react to one another, then the shots fly through them.
void Game::WorldStep() {
  ball::update(*world);
  gl_->LineWidth(1.0f);
  shot::update(*world);
  world->wave_clock += 0.001f;
}

void Game::PauseKey() {
  if (!platform.KeyPressCount(key::kP)) return;
  audio.drain_channel->SetVolume(0.0f);
  platform.ResetMouseState();
  state.paused ? LeavePause() : EnterPause();
}

void Game::ShutDown() {
  for (TextureName name : {textures.sprites.shade, textures.sprites.ring, textures.sprites.glow,
                           textures.sprites.ship, textures.font_texture}) {
    gl_->DeleteTexture(name);
  }
  gl_->Disable(Capability::Texture2D);
}
