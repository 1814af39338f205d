#include "tests/res/string_block.h"

#include "tests/res/byte_reader.h"

StringBlock ParseStringBlock(const std::vector<uint8_t>& bytes) {
  StringBlock block;
  ByteReader in(bytes);
  for (auto& text : block.texts) {
    uint16_t length = in.Word();
    for (uint16_t i = 0; i < length && in.ok(); ++i) text.push_back(static_cast<char16_t>(in.Word()));
    if (!in.ok()) return block;
  }
  block.complete = true;
  return block;
}
