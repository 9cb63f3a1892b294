#include "game/game.h"

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
  audio = platform.OpenAudio();
  MakeSounds();
  if (!platform.OpenGraphics(screen_width, screen_height, 0, 60,
                             kGraphicsBackBuffer | kGraphicsDepthBuffer)) {
    return false;
  }
  gl_ = open_gl_();
  SetRunWideGlState();
  MakeTextures();
  AllocateChannels();
  random.SeedRandom(199);
  state = LoopState{};
  // The only clear of the run: from here on every frame draws over the last.
  gl_->ClearColor(0.21f, 0.35f, 0.3f, 1.0f);
  gl_->Clear();
  return true;
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

void Game::AllocateChannels() {
  channels.laser_channel = audio->AllocChannel();
  channels.drain_channel = sounds.drain_sound->Cue(nullptr);
  channels.drain_channel->SetVolume(0.0f);
  for (auto& channel : channels.pop_channels) {
    channel = audio->AllocChannel();
    channel->SetVolume(0.05f);
  }
  for (auto& channel : channels.collect_channels) {
    channel = audio->AllocChannel();
    channel->SetVolume(0.2f);
  }
}

bool Game::QuitRequested() {
  return platform.KeyIsDown(key::kEscape) || platform.CloseRequested();
}

void Game::RunFrame() {
  DrawBackdrop();
  UpdateWorld();
  ChannelUpkeep();
  PauseKey();
  drain_level *= 0.5f;
  WaveCycle();
  platform.PresentFrame(1);
}

void Game::UpdateWorld() {
  if (state.paused) {
    DrawPauseScreen();
    return;
  }
  gl_->LineWidth(1.0f);
  wave_clock += 0.001f;
}

// Sounds are cued paused by whoever triggers them and all start here, after their
// pan, volume and rate are set; this runs while paused too, so sounds play on.
void Game::ChannelUpkeep() {
  audio->Upkeep(platform.ClockMillis());
  channels.laser_channel->SetPaused(0);
  channels.drain_channel->SetPaused(0);
  for (auto& channel : channels.pop_channels) channel->SetPaused(0);
  for (auto& channel : channels.collect_channels) channel->SetPaused(0);
}

void Game::PauseKey() {
  if (!platform.KeyPressCount(key::kP)) return;
  channels.drain_channel->SetVolume(0.0f);
  platform.ResetMouseState();
  state.paused ? LeavePause() : EnterPause();
}

void Game::WaveCycle() {
  if (state.wave_phase == WavePhase::starting) StartWave();
}

void Game::StartWave() {
  state.wave_phase = WavePhase::fighting;
  state.wave += 1;
  state.items_to_spawn = state.wave;
  channels.drain_channel->Stop();
  make_background(*background_pixmap, *blur_scratch_pixmap, random, platform.ClockMillis());
  // The new picture goes into the layer the backdrop is fading toward; the picture
  // it replaces is no longer shown, so its texture is released.
  if (state.wave % 2 == 0) {
    replace_texture(*gl_, textures.background_texture_b, *background_pixmap);
    state.bg_mix_target = 0.0f;
  } else {
    replace_texture(*gl_, textures.background_texture_a, *background_pixmap);
    state.bg_mix_target = 1.0f;
  }
  channels.drain_channel = sounds.drain_sound->Cue(nullptr);
  channels.drain_channel->SetVolume(0.0f);
  wave_clock = 0.0f;
}

void Game::ShutDown() {
  for (TextureName name : {textures.sprites.shade, textures.sprites.ring, textures.sprites.glow,
                           textures.sprites.ship, textures.font_texture}) {
    gl_->DeleteTexture(name);
  }
  gl_->Disable(Capability::Texture2D);
}
