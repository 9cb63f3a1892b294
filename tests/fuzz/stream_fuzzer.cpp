// Drives the embedded-file table and its read streams with arbitrary names, urls and
// reads, and checks every read against a plain model: bytes in order, little-endian
// integers, zeros and a failed stream from the first read past the end on.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/stream.h"

namespace {

void Check(bool holds) {
  if (!holds) __builtin_trap();
}

// "incbin::" in a letter case the bytes choose: only embedded blocks are opened, never
// a file of the machine running the fuzzer.
std::string Scheme(FuzzedDataProvider& bytes) {
  std::string scheme = "incbin::";
  const auto cases = bytes.ConsumeIntegral<uint8_t>();
  for (size_t i = 0; i < 6; ++i) {
    if (cases >> i & 1) scheme[i] = char(std::toupper(scheme[i]));
  }
  return scheme;
}

// What the stream must give: the block's bytes in order, then zeros for ever.
struct Model {
  std::vector<uint8_t> block;
  size_t position = 0;
  bool failed = false;

  std::vector<uint8_t> Take(size_t count) {
    if (failed || count > block.size() - position) {
      failed = true;
      position = block.size();
      return std::vector<uint8_t>(count, 0);
    }
    std::vector<uint8_t> taken(block.begin() + long(position),
                               block.begin() + long(position + count));
    position += count;
    return taken;
  }
  uint32_t TakeWord() {
    const auto b = Take(4);
    return b[0] | b[1] << 8 | b[2] << 16 | uint32_t(b[3]) << 24;
  }
};

void Read(FuzzedDataProvider& bytes, TStream& stream, Model& model) {
  switch (bytes.ConsumeIntegralInRange(0, 4)) {
    case 0:
      Check(stream.ReadByte() == model.Take(1)[0]);
      break;
    case 1:
      Check(uint32_t(stream.ReadInt()) == model.TakeWord());
      break;
    case 2:
      Check(std::bit_cast<uint32_t>(stream.ReadFloat()) == model.TakeWord());
      break;
    case 3: {
      // A string the stream cannot hold comes back as zeros, perhaps shorter than asked.
      const int count = bytes.ConsumeIntegral<int>();
      const std::string text = stream.ReadString(count);
      const bool fits =
          !model.failed && count >= 0 && size_t(count) <= model.block.size() - model.position;
      const std::vector<uint8_t> expected = model.Take(fits ? size_t(std::max(count, 0)) : 0);
      if (count > 0 && !fits) model.Take(model.block.size() + 1);
      if (fits)
        Check(text.size() == expected.size() &&
              std::equal(text.begin(), text.end(), expected.begin(),
                         [](char c, uint8_t b) { return uint8_t(c) == b; }));
      if (!fits)
        Check(text.size() <= size_t(std::max(count, 0)) &&
              text.find_first_not_of('\0') == std::string::npos);
      break;
    }
    default:
      stream.Close();
      model = Model{};
      model.failed = true;
      break;
  }
  Check(stream.Failed() == model.failed);
  Check(stream.Position() == model.position);
  Check(stream.Position() <= stream.Size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider bytes(data, size);
  EmbeddedFiles files;
  const std::string name = bytes.ConsumeRandomLengthString(24);
  Model model;
  model.block = bytes.ConsumeBytes<uint8_t>(bytes.ConsumeIntegralInRange(0, 64));
  files.RegisterEmbeddedFile(name, model.block.data(), model.block.size());
  const std::string asked = bytes.ConsumeBool() ? name : bytes.ConsumeRandomLengthString(24);
  auto stream = OpenReadStream(files, Scheme(bytes) + asked);
  Check((stream != nullptr) == (asked == name));
  if (!stream) return 0;
  Check(stream->Size() == model.block.size());
  while (bytes.remaining_bytes() > 0) Read(bytes, *stream, model);
  return 0;
}
