#include "tests/res/icon_group.h"

#include "tests/res/byte_reader.h"

#include <algorithm>

IconGroup ParseIconGroup(const std::vector<uint8_t>& bytes) {
  IconGroup group;
  ByteReader in(bytes);
  group.reserved = in.Word();
  group.type = in.Word();
  uint16_t count = in.Word();
  for (uint16_t i = 0; i < count && in.ok(); ++i) {
    IconGroupEntry e;
    e.width = in.Byte();
    e.height = in.Byte();
    e.colour_count = in.Byte();
    e.reserved = in.Byte();
    e.planes = in.Word();
    e.bit_count = in.Word();
    e.bytes_in_res = in.Dword();
    e.id = in.Word();
    if (in.ok()) group.entries.push_back(e);
  }
  if (!in.ok()) group.error = "directory cut short";
  return group;
}

IconImage ParseIconImage(const std::vector<uint8_t>& bytes) {
  static const uint8_t kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  IconImage image;
  image.size = bytes.size();
  image.is_png = bytes.size() >= sizeof kPng && std::equal(kPng, kPng + sizeof kPng, bytes.begin());
  if (image.is_png) return image;
  ByteReader in(bytes);
  image.header_size = in.Dword();
  image.width = static_cast<int32_t>(in.Dword());
  image.height = static_cast<int32_t>(in.Dword());
  image.planes = in.Word();
  image.bit_count = in.Word();
  image.compression = in.Dword();
  in.Dword();  // image size, often 0
  in.Dword();  // horizontal resolution
  in.Dword();  // vertical resolution
  image.colours_used = in.Dword();
  if (!in.ok()) image.header_size = 0;
  return image;
}

size_t IconImageBytesWithMask(const IconImage& image) {
  if (image.header_size != 40 || image.width <= 0 || image.height <= 0 || image.height % 2 != 0 ||
      image.bit_count == 0 || image.bit_count > 32) {
    return 0;
  }
  size_t rows = static_cast<size_t>(image.height) / 2;
  size_t width = static_cast<size_t>(image.width);
  size_t palette = 0;
  if (image.bit_count <= 8) palette = 4u * (image.colours_used ? image.colours_used : 1u << image.bit_count);
  auto stride = [](size_t bits) { return (bits + 31) / 32 * 4; };
  return 40 + palette + stride(width * image.bit_count) * rows + stride(width) * rows;
}
