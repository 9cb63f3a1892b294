#include "game/replay_target.h"

#include "render/batching_gl.h"
#include "render/opengl_gl.h"

const char* NameOf(Backend backend) {
  return backend == Backend::Literal ? "literal" : "batching";
}

std::unique_ptr<ReplayTarget> ReplayTarget::Open(Backend backend, const GlRecording& recording,
                                                 std::string& failure) {
  std::unique_ptr<ReplayTarget> target(new ReplayTarget());
  target->context_ = OffscreenGl::Open(kSize, kSize);
  if (!target->context_) {
    failure = OffscreenGl::Failure();
    return nullptr;
  }
  if (backend == Backend::Literal) {
    target->gl_ = std::make_unique<OpenGlBackend>();
  } else {
    target->gl_ = BatchingGlBackend::Create();
    if (!target->gl_) {
      failure = "the batching back end cannot run on this OpenGL";
      return nullptr;
    }
  }
  target->replayer_ = std::make_unique<GlReplayer>(recording, *target->gl_);
  return target;
}

ReplayTarget::~ReplayTarget() {
  if (context_) context_->MakeCurrent();
  replayer_.reset();
  gl_.reset();
}

void ReplayTarget::Start() {
  context_->MakeCurrent();
  gl_->ClearColor(0.21f, 0.35f, 0.3f, 1.0f);
  gl_->Clear();
  replayer_->SetUp();
  context_->Finish();
}

bool ReplayTarget::Frame() {
  context_->MakeCurrent();
  const bool replayed = replayer_->ReplayFrame();
  context_->Finish();
  return replayed;
}

std::vector<uint8_t> ReplayTarget::Pixels() {
  context_->MakeCurrent();
  std::vector<uint8_t> rgba(size_t(kSize) * kSize * 4);
  gl_->ReadPixels(kSize, kSize, rgba.data());
  return rgba;
}
