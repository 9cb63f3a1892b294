#include "platform/audio_sample.h"

#include <algorithm>

TAudioSample::TAudioSample(int32_t length, int32_t hertz, int format)
    : length_(std::max(length, 0)), hertz_(hertz), format_(format), frames_(size_t(length_)) {}

std::shared_ptr<TAudioSample> TAudioSample::Create(int32_t length, int32_t hertz, int format) {
  return std::shared_ptr<TAudioSample>(new TAudioSample(length, hertz, format));
}
