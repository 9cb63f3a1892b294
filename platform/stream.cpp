#include "platform/stream.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

constexpr std::string_view kEmbeddedScheme = "incbin::";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) ==
                  std::tolower(static_cast<unsigned char>(b));
         });
}

std::unique_ptr<TStream> OpenFileStream(std::string_view path) {
  std::ifstream file{std::string(path), std::ios::binary};
  if (!file) return nullptr;
  std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
  if (file.bad()) return nullptr;
  return std::make_unique<TStream>(std::move(bytes));
}

}  // namespace

void EmbeddedFiles::RegisterEmbeddedFile(std::string name, const uint8_t* bytes, size_t size) {
  entries_.push_back({std::move(name), {bytes, size}});
}

const std::span<const uint8_t>* EmbeddedFiles::Find(std::string_view name) const {
  for (const Entry& entry : entries_) {
    if (entry.name == name) return &entry.bytes;
  }
  return nullptr;
}

TStream::TStream(std::vector<uint8_t> owned) : owned_(std::move(owned)), bytes_(owned_) {}

bool TStream::Take(uint8_t* out, size_t count) {
  if (failed_ || count > Remaining()) {
    std::memset(out, 0, count);
    failed_ = true;
    position_ = bytes_.size();
    return false;
  }
  // An empty block may have no address at all, which memcpy must not be given.
  if (count > 0) std::memcpy(out, bytes_.data() + position_, count);
  position_ += count;
  return true;
}

uint8_t TStream::ReadByte() {
  uint8_t byte;
  Take(&byte, 1);
  return byte;
}

int32_t TStream::ReadInt() {
  uint8_t b[4];
  Take(b, 4);
  const uint32_t bits = b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
  return static_cast<int32_t>(bits);
}

float TStream::ReadFloat() {
  return std::bit_cast<float>(ReadInt());
}

std::string TStream::ReadString(int count) {
  // A count the stream cannot hold fails anyway; don't let it size the allocation.
  const size_t size = std::min<size_t>(std::max(count, 0), Remaining() + 1);
  std::string text(size, '\0');
  Take(reinterpret_cast<uint8_t*>(text.data()), text.size());
  return text;
}

void TStream::Close() {
  owned_.clear();
  bytes_ = {};
  position_ = 0;
  failed_ = true;
}

std::unique_ptr<TStream> OpenReadStream(const EmbeddedFiles& files, std::string_view url) {
  if (StartsWithNoCase(url, kEmbeddedScheme)) {
    const auto* block = files.Find(url.substr(kEmbeddedScheme.size()));
    return block ? std::make_unique<TStream>(*block) : nullptr;
  }
  if (url.empty()) return nullptr;
  return OpenFileStream(url);
}
