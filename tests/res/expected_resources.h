// What the program's resources must hold, field by field. The checks in
// resource_checks.cpp compare a program against these tables only, so a
// change of a text or a style is made here and nowhere else.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/res/dialog_template.h"

constexpr uint16_t kLanguageJapanese = 0x0411;
constexpr uint16_t kLanguageEnglishUs = 0x0409;

struct ExpectedString {
  uint16_t id;
  std::u16string text;
};
const std::vector<ExpectedString>& ExpectedStrings();
// The framework takes an application title from this id when it exists;
// the program must not carry it.
constexpr uint16_t kAbsentStringId = 0xE000;

struct ExpectedDialog {
  uint16_t id;
  uint32_t help_id, ex_style, style;
  int16_t x, y, cx, cy;
  NameOrOrdinal menu, window_class;
  std::u16string title;
  uint16_t point_size, weight;
  uint8_t italic, charset;
  std::u16string typeface;
};
const ExpectedDialog& ExpectedUpdateDialog();

struct ExpectedControl {
  uint32_t id;
  NameOrOrdinal window_class;
  NameOrOrdinal text;
  uint32_t style;
  int16_t x, y, cx, cy;
};
const std::vector<ExpectedControl>& ExpectedControls();

struct ExpectedFixedVersion {
  uint32_t file_version_ms, file_version_ls, product_version_ms, product_version_ls;
  uint32_t file_flags_mask, file_flags, file_os, file_type, file_subtype, file_date_ms, file_date_ls;
};
const ExpectedFixedVersion& ExpectedFixedVersionInfo();

struct ExpectedVersionString {
  std::u16string key, value;
};
const std::u16string& ExpectedStringTableKey();
const std::vector<ExpectedVersionString>& ExpectedVersionStrings();
// Translation pairs: language, code page.
const std::vector<uint16_t>& ExpectedTranslation();

struct ExpectedIcon {
  uint8_t size;
  uint16_t bit_count;
};
constexpr uint16_t kIconGroupId = 128;
const std::vector<ExpectedIcon>& ExpectedIcons();

struct ExpectedManifestAttribute {
  std::string element, attribute, value;
};
// Each element, its enclosing element ("" for the root) and its attributes.
struct ExpectedManifestElement {
  std::string element, enclosed_by;
};
const std::vector<ExpectedManifestElement>& ExpectedManifestElements();
const std::vector<ExpectedManifestAttribute>& ExpectedManifestAttributes();

// Every resource of ours and the one language it must be stored in.
struct ExpectedLanguage {
  uint16_t type, id, language;
  std::string what;
};
const std::vector<ExpectedLanguage>& ExpectedLanguages();
