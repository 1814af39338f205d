// Bounds-checked little-endian reader over a resource's bytes. Reading past
// the end never touches memory outside the buffer: it returns zeros and
// leaves the reader failed, so a malformed resource ends as a reported
// mismatch instead of a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class ByteReader {
 public:
  explicit ByteReader(const std::vector<uint8_t>& bytes, size_t start = 0, size_t end = SIZE_MAX);

  bool ok() const { return ok_; }
  size_t pos() const { return pos_; }
  size_t end() const { return end_; }
  bool AtEnd() const { return pos_ >= end_; }

  uint8_t Byte();
  uint16_t Word();
  uint32_t Dword();
  std::vector<uint8_t> Bytes(size_t count);
  // A NUL-terminated UTF-16 text; the terminator is consumed, not returned.
  std::u16string Text();
  // Skips to the next multiple of four counted from the buffer's start, the
  // alignment of dialog items and version-block nodes.
  void AlignToDword();
  void Seek(size_t pos);

 private:
  bool Need(size_t count);

  const std::vector<uint8_t>& bytes_;
  size_t pos_;
  size_t end_;
  bool ok_ = true;
};
