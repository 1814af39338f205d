// An RT_GROUP_ICON directory and the header of each RT_ICON image it names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct IconGroupEntry {
  uint8_t width = 0, height = 0, colour_count = 0, reserved = 0;
  uint16_t planes = 0, bit_count = 0;
  uint32_t bytes_in_res = 0;
  uint16_t id = 0;
};

struct IconGroup {
  uint16_t reserved = 0, type = 0;
  std::vector<IconGroupEntry> entries;
  std::string error;
};

IconGroup ParseIconGroup(const std::vector<uint8_t>& bytes);

// An RT_ICON image stored as a DIB: BITMAPINFOHEADER, colour table, the
// colour bitmap and the 1-bit AND mask.
struct IconImage {
  bool is_png = false;
  uint32_t header_size = 0;
  int32_t width = 0, height = 0;  // height counts colour bitmap and mask
  uint16_t planes = 0, bit_count = 0;
  uint32_t compression = 0;
  uint32_t colours_used = 0;
  size_t size = 0;
};

IconImage ParseIconImage(const std::vector<uint8_t>& bytes);

// Bytes a DIB icon of this header needs: header, colour table, colour
// bitmap and AND mask, rows padded to four bytes. 0 if the header is odd.
size_t IconImageBytesWithMask(const IconImage& image);
