// An extended dialog template (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX
// items) decoded field by field from a resource's bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A class, menu or title field: either an ordinal (after 0xFFFF) or a text.
struct NameOrOrdinal {
  bool is_ordinal = false;
  uint16_t ordinal = 0;
  std::u16string text;

  static NameOrOrdinal Ordinal(uint16_t value) { return {true, value, {}}; }
  static NameOrOrdinal Name(std::u16string value) { return {false, 0, std::move(value)}; }
  bool operator==(const NameOrOrdinal& o) const {
    return is_ordinal == o.is_ordinal && ordinal == o.ordinal && text == o.text;
  }
};

struct DialogControl {
  uint32_t help_id = 0;
  uint32_t ex_style = 0;
  uint32_t style = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  uint32_t id = 0;
  NameOrOrdinal window_class;
  NameOrOrdinal title;
  uint16_t extra_count = 0;
  size_t offset = 0;  // where the item starts in the template
};

struct DialogTemplate {
  uint16_t version = 0;
  uint16_t signature = 0;
  uint32_t help_id = 0;
  uint32_t ex_style = 0;
  uint32_t style = 0;
  uint16_t item_count = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  NameOrOrdinal menu;
  NameOrOrdinal window_class;
  std::u16string title;
  uint16_t point_size = 0;
  uint16_t weight = 0;
  uint8_t italic = 0;
  uint8_t charset = 0;
  std::u16string typeface;
  std::vector<DialogControl> controls;
  // Empty when the whole template could be read; otherwise what broke off.
  std::string error;
};

DialogTemplate ParseDialogTemplate(const std::vector<uint8_t>& bytes);
