#include "tests/res/byte_reader.h"

#include <algorithm>

ByteReader::ByteReader(const std::vector<uint8_t>& bytes, size_t start, size_t end)
    : bytes_(bytes), pos_(start), end_(std::min(end, bytes.size())) {
  if (pos_ > end_) {
    ok_ = false;
    pos_ = end_;
  }
}

bool ByteReader::Need(size_t count) {
  if (!ok_ || end_ - pos_ < count) {
    ok_ = false;
    return false;
  }
  return true;
}

uint8_t ByteReader::Byte() {
  if (!Need(1)) return 0;
  return bytes_[pos_++];
}

uint16_t ByteReader::Word() {
  if (!Need(2)) return 0;
  uint16_t v = static_cast<uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
  pos_ += 2;
  return v;
}

uint32_t ByteReader::Dword() {
  uint32_t low = Word();
  uint32_t high = Word();
  return low | (high << 16);
}

std::vector<uint8_t> ByteReader::Bytes(size_t count) {
  if (!Need(count)) return {};
  std::vector<uint8_t> out(bytes_.begin() + pos_, bytes_.begin() + pos_ + count);
  pos_ += count;
  return out;
}

std::u16string ByteReader::Text() {
  std::u16string out;
  for (;;) {
    uint16_t c = Word();
    if (!ok_ || c == 0) return out;
    out.push_back(static_cast<char16_t>(c));
  }
}

void ByteReader::AlignToDword() {
  size_t aligned = (pos_ + 3) & ~static_cast<size_t>(3);
  // Padding may be cut off at the very end of a block; that is no fault.
  pos_ = std::min(aligned, end_);
}

void ByteReader::Seek(size_t pos) {
  if (pos > end_) {
    ok_ = false;
    pos_ = end_;
    return;
  }
  pos_ = pos;
}
