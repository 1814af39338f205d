// One RT_STRING block: sixteen counted UTF-16 texts, the block numbered
// (id / 16) + 1 holding ids (block - 1) * 16 to (block - 1) * 16 + 15.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct StringBlock {
  std::array<std::u16string, 16> texts;
  bool complete = false;  // false when the bytes end inside an entry
};

inline uint16_t StringBlockOf(uint16_t id) { return static_cast<uint16_t>(id / 16 + 1); }
inline unsigned StringSlotOf(uint16_t id) { return id % 16; }

StringBlock ParseStringBlock(const std::vector<uint8_t>& bytes);
