#include "render/batching_gl.h"

#include <GL/glew.h>

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "render/gl_enums.h"

namespace {

// Positions go through the fixed-function transform (ftransform), so they land on
// exactly the pixels the immediate-mode path covers.
constexpr const char* kVertexShader = R"(#version 130
in vec2 texcoord;
in vec4 colour;
in float keep;
out vec2 uv;
out vec4 tint;
flat out float keep_destination;
void main() {
  gl_Position = ftransform();
  uv = texcoord;
  tint = colour;
  keep_destination = keep;
}
)";

// The colour stays unpremultiplied: the blend unit rounds colour and alpha to 8 bits
// before it multiplies them, as it does for the fixed-function path. The second output
// is the share of the destination that goes: 0 for an additive primitive, the alpha for
// a normal one.
constexpr const char* kFragmentShader = R"(
uniform sampler2D image;
uniform bool alpha_test;
in vec2 uv;
in vec4 tint;
flat in float keep_destination;
out vec4 colour;
out vec4 destination_share;
void main() {
#ifdef TEXTURED
  vec4 c = texture(image, uv) * tint;
#else
  vec4 c = tint;
#endif
  if (alpha_test && c.a == 0.0) discard;
  colour = c;
  destination_share = vec4(c.a * keep_destination);
}
)";

// The fragment shader for textured or for plain primitives.
constexpr const char* kTexturedFragmentShader[] = {"#version 130\n#define TEXTURED\n",
                                                   kFragmentShader};
constexpr const char* kPlainFragmentShader[] = {"#version 130\n", kFragmentShader};

enum Attribute : GLuint { kTexcoord = 1, kColour = 2, kKeep = 3 };

// The source comes in parts: the first holds the version and any definitions.
template <size_t Parts>
GLuint CompileShader(GLenum kind, const char* const (&source)[Parts]) {
  const GLuint shader = glCreateShader(kind);
  glShaderSource(shader, Parts, source, nullptr);
  glCompileShader(shader);
  GLint compiled = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
  if (compiled != GL_TRUE) {
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

GLuint LinkProgram(const char* const (&fragment_source)[2]) {
  const GLuint vertex = CompileShader(GL_VERTEX_SHADER, {kVertexShader});
  const GLuint fragment = CompileShader(GL_FRAGMENT_SHADER, fragment_source);
  GLuint program = 0;
  if (vertex && fragment) {
    program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, kTexcoord, "texcoord");
    glBindAttribLocation(program, kColour, "colour");
    glBindAttribLocation(program, kKeep, "keep");
    glBindFragDataLocationIndexed(program, 0, 0, "colour");
    glBindFragDataLocationIndexed(program, 0, 1, "destination_share");
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
      glDeleteProgram(program);
      program = 0;
    }
  }
  if (vertex) glDeleteShader(vertex);
  if (fragment) glDeleteShader(fragment);
  return program;
}

// The version the context reports. GLEW's version flags cannot tell: with experimental
// loading they are set wherever the entry points exist, whatever the context offers.
bool VersionAtLeast(int major, int minor) {
  const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  int has_major = 0, has_minor = 0;
  if (!version || std::sscanf(version, "%d.%d", &has_major, &has_minor) != 2) return false;
  return has_major > major || (has_major == major && has_minor >= minor);
}

bool HasExtension(const char* name) {
  GLint count = 0;
  glGetIntegerv(GL_NUM_EXTENSIONS, &count);
  for (GLint i = 0; i < count; ++i) {
    const auto* extension = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, GLuint(i)));
    if (extension && std::strcmp(extension, name) == 0) return true;
  }
  return false;
}

bool ContextQualifies() {
  if (!VersionAtLeast(3, 0)) return false;
  if (!VersionAtLeast(3, 3) && !HasExtension("GL_ARB_blend_func_extended")) return false;
  if (!glBindFragDataLocationIndexed || !glBufferData || !glVertexAttribPointer) return false;
  GLint dual_source_buffers = 0;
  glGetIntegerv(GL_MAX_DUAL_SOURCE_DRAW_BUFFERS, &dual_source_buffers);
  return dual_source_buffers >= 1;
}

}  // namespace

std::unique_ptr<BatchingGlBackend> BatchingGlBackend::Create() {
  if (!ContextQualifies()) return nullptr;
  std::unique_ptr<BatchingGlBackend> backend(new BatchingGlBackend());
  if (!backend->Build()) return nullptr;
  return backend;
}

bool BatchingGlBackend::Build() {
  textured_.name = LinkProgram(kTexturedFragmentShader);
  plain_.name = LinkProgram(kPlainFragmentShader);
  if (!textured_.name || !plain_.name) return false;
  for (Program* program : {&textured_, &plain_}) {
    program->alpha_test = glGetUniformLocation(program->name, "alpha_test");
  }
  glGenBuffers(1, &buffer_);
  glBindBuffer(GL_ARRAY_BUFFER, buffer_);
  constexpr GLsizei stride = sizeof(BatchVertex);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(2, GL_FLOAT, stride, reinterpret_cast<const void*>(offsetof(BatchVertex, x)));
  glEnableVertexAttribArray(kTexcoord);
  glVertexAttribPointer(kTexcoord, 2, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<const void*>(offsetof(BatchVertex, u)));
  glEnableVertexAttribArray(kColour);
  glVertexAttribPointer(kColour, 4, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<const void*>(offsetof(BatchVertex, r)));
  glEnableVertexAttribArray(kKeep);
  glVertexAttribPointer(kKeep, 1, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<const void*>(offsetof(BatchVertex, keep)));
  return glGetError() == GL_NO_ERROR;
}

BatchingGlBackend::~BatchingGlBackend() {
  if (current_program_) glUseProgram(0);
  if (textured_.name) glDeleteProgram(textured_.name);
  if (plain_.name) glDeleteProgram(plain_.name);
  if (buffer_) glDeleteBuffers(1, &buffer_);
}

void BatchingGlBackend::OnBegin(Primitive primitive) {
  BatchBuilder::Inputs inputs;
  inputs.texturing = IsEnabled(Capability::Texture2D);
  inputs.texture = BoundTexture();
  inputs.blending = IsEnabled(Capability::Blend);
  inputs.source = CurrentBlend()[0];
  inputs.destination = CurrentBlend()[1];
  inputs.alpha_test = IsEnabled(Capability::AlphaTest) && alpha_func_set_;
  inputs.line_width = CurrentLineWidth();
  builder_.Begin(primitive, inputs);
}

void BatchingGlBackend::OnEnd() {
  builder_.End();
}
void BatchingGlBackend::OnVertex(const GlVertex& vertex) {
  builder_.Vertex(vertex);
}

// Texturing, blending and the alpha test are taken per primitive; only depth testing is
// left to the context.
void BatchingGlBackend::OnEnable(Capability capability, bool on) {
  if (capability != Capability::DepthTest) return;
  Submit();
  on ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
}

void BatchingGlBackend::OnBlendFunc(BlendFactor, BlendFactor) {}
void BatchingGlBackend::OnLineWidth(float) {}

void BatchingGlBackend::OnPixelProjection(int width, int height) {
  Submit();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, height, 0, -10, 1000);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void BatchingGlBackend::OnAlphaTestNotZero() {
  alpha_func_set_ = true;
}

void BatchingGlBackend::OnClear(const Colour& colour) {
  Submit();
  glClearColor(colour.r, colour.g, colour.b, colour.a);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void BatchingGlBackend::OnActiveTexture0() {
  glActiveTexture(GL_TEXTURE0);
}
void BatchingGlBackend::OnBindTexture(TextureName) {}

TextureName BatchingGlBackend::OnGenTexture() {
  GLuint name = 0;
  glGenTextures(1, &name);
  return name;
}

// Primitives waiting to be drawn see the texture as it was when they were made.
void BatchingGlBackend::OnTexImageRgba(int width, int height, const uint8_t* pixels) {
  Submit();
  glBindTexture(GL_TEXTURE_2D, BoundTexture());
  gl_texture_ = BoundTexture();
  gl_texture_known_ = true;
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexImage2D(GL_TEXTURE_2D, 0, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  builder_.SetOutline(BoundTexture(), outline_of(width, height, pixels));
}

void BatchingGlBackend::OnDeleteTexture(TextureName name) {
  Submit();
  glDeleteTextures(1, &name);
  if (gl_texture_ == name) gl_texture_known_ = false;
  builder_.ForgetTexture(name);
}

void BatchingGlBackend::OnReadPixels(int width, int height, uint8_t* destination) {
  Submit();
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, destination);
}

// The frame is shown by code that knows nothing of the shaders: leave it the fixed
// function pipeline.
void BatchingGlBackend::OnFrameDone() {
  Submit();
  if (current_program_) {
    glUseProgram(0);
    current_program_ = nullptr;
  }
}

void BatchingGlBackend::Submit() {
  if (builder_.Empty()) return;
  const auto& vertices = builder_.Vertices();
  glBindBuffer(GL_ARRAY_BUFFER, buffer_);
  glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(BatchVertex)), vertices.data(),
               GL_STREAM_DRAW);
  for (const BatchDraw& draw : builder_.Draws()) {
    Apply(draw.state);
    glDrawArrays(ToGl(draw.state.primitive), GLint(draw.first), GLsizei(draw.count));
    ++draw_calls_;
  }
  builder_.Clear();
}

void BatchingGlBackend::Apply(const DrawState& state) {
  Program& program = state.textured ? textured_ : plain_;
  if (current_program_ != &program) {
    glUseProgram(program.name);
    current_program_ = &program;
  }
  if (program.alpha_test_set != int(state.alpha_test)) {
    glUniform1i(program.alpha_test, state.alpha_test);
    program.alpha_test_set = state.alpha_test;
  }
  if (state.textured && (!gl_texture_known_ || gl_texture_ != state.texture)) {
    glBindTexture(GL_TEXTURE_2D, state.texture);
    gl_texture_ = state.texture;
    gl_texture_known_ = true;
  }
  if (state.primitive != Primitive::Quads && state.line_width != gl_line_width_) {
    glLineWidth(state.line_width);
    gl_line_width_ = state.line_width;
  }
  ApplyBlend(state);
}

void BatchingGlBackend::ApplyBlend(const DrawState& state) {
  if (gl_blend_ && gl_blend_->blend == state.blend && gl_blend_->source == state.source &&
      gl_blend_->destination == state.destination) {
    return;
  }
  const bool was_on = gl_blend_ && gl_blend_->blend != BlendMode::Off;
  switch (state.blend) {
    case BlendMode::Off:
      glDisable(GL_BLEND);
      break;
    case BlendMode::Dual:
      if (!was_on || !gl_blend_) glEnable(GL_BLEND);
      glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC1_COLOR, GL_SRC_ALPHA,
                          GL_ONE_MINUS_SRC1_ALPHA);
      break;
    case BlendMode::Plain:
      if (!was_on || !gl_blend_) glEnable(GL_BLEND);
      glBlendFunc(ToGl(state.source), ToGl(state.destination));
      break;
  }
  gl_blend_ = state;
}
