#include "render/gl_batch.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

float Clamp01(float value) {
  return std::min(1.0f, std::max(0.0f, value));
}

struct UvPoint {
  float u, v;
};

// The octagon's corners in order around it, or none when the cuts do not make one.
std::optional<std::array<UvPoint, 8>> CornersOf(const TextureOutline& o) {
  const std::array<UvPoint, 8> corners{{
      {std::max(o.u0, o.sum0 - o.v0), o.v0},
      {std::min(o.u1, o.diff1 + o.v0), o.v0},
      {o.u1, std::max(o.v0, o.u1 - o.diff1)},
      {o.u1, std::min(o.v1, o.sum1 - o.u1)},
      {std::min(o.u1, o.sum1 - o.v1), o.v1},
      {std::max(o.u0, o.diff0 + o.v1), o.v1},
      {o.u0, std::min(o.v1, o.u0 - o.diff0)},
      {o.u0, std::max(o.v0, o.sum0 - o.u0)},
  }};
  const bool ordered = corners[0].u <= corners[1].u && corners[2].v <= corners[3].v &&
                       corners[5].u <= corners[4].u && corners[7].v <= corners[6].v;
  if (!ordered) return std::nullopt;
  return corners;
}

}  // namespace

std::optional<TextureOutline> outline_of(int width, int height, const uint8_t* rgba) {
  constexpr int kLargestOutlined = 256;
  if (width <= 0 || height <= 0 || width > kLargestOutlined || height > kLargestOutlined) {
    return std::nullopt;
  }
  const float w = float(width), h = float(height);
  TextureOutline o{1e9f, -1e9f, 1e9f, -1e9f, 1e9f, -1e9f, 1e9f, -1e9f};
  bool any = false;
  // A sample reads the texels whose centres lie within one texel of it, wrapping at the
  // edges; the margin of half a texel keeps rounding from cutting into what it reads.
  constexpr float kReach = 1.0f + 0.5f;
  for (int j = 0; j < height; ++j) {
    for (int i = 0; i < width; ++i) {
      if (rgba[(size_t(j) * width + i) * 4 + 3] == 0) continue;
      for (int copy_j = -1; copy_j <= 1; ++copy_j) {
        for (int copy_i = -1; copy_i <= 1; ++copy_i) {
          const float centre_s = float(i + copy_i * width) + 0.5f;
          const float centre_t = float(j + copy_j * height) + 0.5f;
          const float s0 = std::max(0.0f, centre_s - kReach), s1 = std::min(w, centre_s + kReach);
          const float t0 = std::max(0.0f, centre_t - kReach), t1 = std::min(h, centre_t + kReach);
          if (s0 > s1 || t0 > t1) continue;
          any = true;
          const float u0 = s0 / w, u1 = s1 / w, v0 = t0 / h, v1 = t1 / h;
          o = {std::min(o.u0, u0),         std::max(o.u1, u1),        std::min(o.v0, v0),
               std::max(o.v1, v1),         std::min(o.sum0, u0 + v0), std::max(o.sum1, u1 + v1),
               std::min(o.diff0, u0 - v1), std::max(o.diff1, u1 - v0)};
        }
      }
    }
  }
  if (!any || !CornersOf(o)) return std::nullopt;
  const bool cuts_a_corner = o.sum0 > 0.0f || o.sum1 < 2.0f || o.diff0 > -1.0f || o.diff1 < 1.0f;
  if (!cuts_a_corner) return std::nullopt;
  return o;
}

DrawState BatchBuilder::StateFor(Primitive primitive, const Inputs& inputs) {
  DrawState state;
  state.primitive = primitive;
  state.textured = inputs.texturing;
  state.texture = inputs.texturing ? inputs.texture : 0;
  const bool dual = inputs.source == BlendFactor::SrcAlpha &&
                    (inputs.destination == BlendFactor::One ||
                     inputs.destination == BlendFactor::OneMinusSrcAlpha);
  if (!inputs.blending) {
    state.blend = BlendMode::Off;
  } else if (dual) {
    state.blend = BlendMode::Dual;
  } else {
    state.blend = BlendMode::Plain;
    state.source = inputs.source;
    state.destination = inputs.destination;
  }
  state.alpha_test = inputs.alpha_test;
  state.line_width = primitive == Primitive::Quads ? 0.0f : inputs.line_width;
  return state;
}

void BatchBuilder::Begin(Primitive primitive, const Inputs& inputs) {
  in_primitive_ = true;
  state_ = StateFor(primitive, inputs);
  keep_ = state_.blend == BlendMode::Dual && inputs.destination == BlendFactor::OneMinusSrcAlpha
              ? 1.0f
              : 0.0f;
  first_ = uint32_t(vertices_.size());
}

void BatchBuilder::Vertex(const GlVertex& vertex) {
  if (!in_primitive_) return;
  const Colour& c = vertex.colour;
  vertices_.push_back({vertex.x, vertex.y, vertex.u, vertex.v, Clamp01(c.r), Clamp01(c.g),
                       Clamp01(c.b), Clamp01(c.a), keep_});
}

void BatchBuilder::End() {
  if (!in_primitive_) return;
  in_primitive_ = false;
  // OpenGL draws only whole primitives; leftovers must not shift the ones merged after.
  const uint32_t count = uint32_t(vertices_.size()) - first_;
  uint32_t whole = count;
  switch (state_.primitive) {
    case Primitive::Quads:
      whole = count - count % 4;
      break;
    case Primitive::Lines:
      whole = count - count % 2;
      break;
    case Primitive::LineStrip:
      whole = count >= 2 ? count : 0;
      break;
  }
  vertices_.resize(first_ + whole);
  if (whole == 0) return;
  if (Invisible(first_)) {
    vertices_.resize(first_);
    return;
  }
  if (state_.primitive == Primitive::Quads && state_.textured && whole == 4) TrimToOutline(first_);
  Append(first_);
}

// Under both dual blend functions a fragment whose 8-bit alpha is 0 leaves the pixel as it
// was, colour and alpha; a fragment's alpha never exceeds its vertices' largest.
bool BatchBuilder::Invisible(uint32_t first) const {
  if (state_.blend != BlendMode::Dual) return false;
  for (uint32_t i = first; i < vertices_.size(); ++i) {
    if (vertices_[i].a >= kInvisibleAlpha) return false;
  }
  return true;
}

// A square whose corners map texture coordinates to positions by one affine map, in one
// colour, is redrawn as the octagon of its texture's outline: three quads over the
// corners of the octagon, each taking position from the same map. Only large squares
// gain: the software rasteriser's cost per triangle outweighs the corners of a small one.
void BatchBuilder::TrimToOutline(uint32_t first) {
  const auto found = outlines_.find(state_.texture);
  if (found == outlines_.end()) return;
  const BatchVertex q[4] = {vertices_[first], vertices_[first + 1], vertices_[first + 2],
                            vertices_[first + 3]};
  const auto shorter_than = [](const BatchVertex& a, const BatchVertex& b, float length) {
    return (b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y) < length * length;
  };
  if (shorter_than(q[0], q[1], kSmallestTrimmed) || shorter_than(q[0], q[3], kSmallestTrimmed)) {
    return;
  }
  for (const BatchVertex& corner : q) {
    if (corner.r != q[0].r || corner.g != q[0].g || corner.b != q[0].b || corner.a != q[0].a) {
      return;
    }
    if (corner.u < 0.0f || corner.u > 1.0f || corner.v < 0.0f || corner.v > 1.0f) return;
  }
  const bool parallelogram =
      q[0].x + q[2].x == q[1].x + q[3].x && q[0].y + q[2].y == q[1].y + q[3].y &&
      q[0].u + q[2].u == q[1].u + q[3].u && q[0].v + q[2].v == q[1].v + q[3].v;
  if (!parallelogram) return;
  // Texture-coordinate steps along the two edges from corner 0, and their inverse.
  const float du1 = q[1].u - q[0].u, dv1 = q[1].v - q[0].v;
  const float du3 = q[3].u - q[0].u, dv3 = q[3].v - q[0].v;
  const float determinant = du1 * dv3 - du3 * dv1;
  if (std::fabs(determinant) < 1e-6f) return;
  const auto corners = CornersOf(found->second);
  if (!corners) return;
  BatchVertex made[12];
  const int fan[12] = {0, 1, 2, 3, 0, 3, 4, 5, 0, 5, 6, 7};
  for (int k = 0; k < 12; ++k) {
    const UvPoint& corner = (*corners)[fan[k]];
    const float du = corner.u - q[0].u, dv = corner.v - q[0].v;
    // The corner as a mix of the two edges: corner = q0 + a (q1 - q0) + b (q3 - q0).
    const float a = (du * dv3 - du3 * dv) / determinant;
    const float b = (du1 * dv - du * dv1) / determinant;
    made[k] = q[0];
    made[k].x = q[0].x + a * (q[1].x - q[0].x) + b * (q[3].x - q[0].x);
    made[k].y = q[0].y + a * (q[1].y - q[0].y) + b * (q[3].y - q[0].y);
    made[k].u = corner.u;
    made[k].v = corner.v;
  }
  vertices_.resize(first);
  vertices_.insert(vertices_.end(), made, made + 12);
}

void BatchBuilder::Append(uint32_t first) {
  const uint32_t count = uint32_t(vertices_.size()) - first;
  if (!draws_.empty()) {
    BatchDraw& last = draws_.back();
    const bool mergeable = state_.primitive != Primitive::LineStrip && last.state == state_ &&
                           last.first + last.count == first;
    if (mergeable) {
      last.count += count;
      return;
    }
  }
  draws_.push_back({state_, first, count});
}

void BatchBuilder::SetOutline(TextureName texture, std::optional<TextureOutline> outline) {
  if (outline) {
    outlines_[texture] = *outline;
  } else {
    outlines_.erase(texture);
  }
}

void BatchBuilder::ForgetTexture(TextureName texture) {
  outlines_.erase(texture);
}

void BatchBuilder::Clear() {
  vertices_.clear();
  draws_.clear();
}
