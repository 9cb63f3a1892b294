#pragma once
// Named data blocks compiled into the executable, and read streams over them or over
// files. A stream never reads out of bounds: a read past the end yields zeros and
// marks the stream as failed.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class EmbeddedFiles {
 public:
  void RegisterEmbeddedFile(std::string name, const uint8_t* bytes, size_t size);
  // The block registered first under name, or null.
  const std::span<const uint8_t>* Find(std::string_view name) const;
  int Count() const { return static_cast<int>(entries_.size()); }

 private:
  struct Entry {
    std::string name;
    std::span<const uint8_t> bytes;
  };
  std::vector<Entry> entries_;
};

class TStream {
 public:
  // Reads over bytes that outlive the stream (an embedded block).
  explicit TStream(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  // Reads over bytes the stream owns (a file's contents).
  explicit TStream(std::vector<uint8_t> owned);

  uint8_t ReadByte();
  int32_t ReadInt();
  float ReadFloat();
  std::string ReadString(int count);
  void Close();

  // True once any read went past the end (or after Close).
  bool Failed() const { return failed_; }
  size_t Position() const { return position_; }
  size_t Size() const { return bytes_.size(); }
  size_t Remaining() const { return bytes_.size() - position_; }
  // The whole underlying data, for decoders that take a memory block.
  std::span<const uint8_t> Bytes() const { return bytes_; }

 private:
  bool Take(uint8_t* out, size_t count);

  std::vector<uint8_t> owned_;
  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
  bool failed_ = false;
};

// Opens "incbin::NAME" (scheme in any letter case) over an embedded block, or any
// other url as a file path. Null when nothing can be opened.
std::unique_ptr<TStream> OpenReadStream(const EmbeddedFiles& files, std::string_view url);
