#include "tests/res/resource_checks.h"

#include "tests/res/dialog_template.h"
#include "tests/res/expected_resources.h"
#include "tests/res/icon_group.h"
#include "tests/res/manifest_text.h"
#include "tests/res/string_block.h"
#include "tests/res/version_block.h"

namespace {

std::string LanguageList(const std::vector<uint16_t>& languages) {
  std::string out;
  for (uint16_t l : languages) out += (out.empty() ? "" : ", ") + DescribeNumber(l);
  return out.empty() ? "none" : out;
}

void CompareControl(Mismatches& m, size_t index, const ExpectedControl& want, const DialogControl& got) {
  std::string c = "control " + std::to_string(index + 1) + " ";
  m.Expect(c + "id", want.id, got.id);
  m.Expect(c + "class", want.window_class, got.window_class);
  m.Expect(c + "text", want.text, got.title);
  m.Expect(c + "style", want.style, got.style);
  m.Expect(c + "extended style", 0u, got.ex_style);
  m.Expect(c + "help id", 0u, got.help_id);
  m.Expect(c + "x", want.x, got.x);
  m.Expect(c + "y", want.y, got.y);
  m.Expect(c + "width", want.cx, got.cx);
  m.Expect(c + "height", want.cy, got.cy);
  m.Expect(c + "creation data size", uint16_t{0}, got.extra_count);
}

void CompareDialogHeader(Mismatches& m, const ExpectedDialog& want, const DialogTemplate& got) {
  m.Expect("dialog help id", want.help_id, got.help_id);
  m.Expect("dialog extended style", want.ex_style, got.ex_style);
  m.Expect("dialog style", want.style, got.style);
  m.Expect("dialog x", want.x, got.x);
  m.Expect("dialog y", want.y, got.y);
  m.Expect("dialog width", want.cx, got.cx);
  m.Expect("dialog height", want.cy, got.cy);
  m.Expect("dialog menu", want.menu, got.menu);
  m.Expect("dialog class", want.window_class, got.window_class);
  m.Expect("dialog caption", want.title, got.title);
  m.Expect("dialog font size", want.point_size, got.point_size);
  m.Expect("dialog font weight", want.weight, got.weight);
  m.Expect("dialog font italic", want.italic, got.italic);
  m.Expect("dialog font character set", want.charset, got.charset);
  m.Expect("dialog font name", want.typeface, got.typeface);
  m.Expect("dialog control count", static_cast<uint16_t>(ExpectedControls().size()), got.item_count);
}

void CompareFixedVersion(Mismatches& m, const FixedFileInfo& got) {
  const ExpectedFixedVersion& want = ExpectedFixedVersionInfo();
  m.Expect("version signature", 0xFEEF04BDu, got.signature);
  m.Expect("version structure version", 0x00010000u, got.struc_version);
  m.Expect("version file version (high)", want.file_version_ms, got.file_version_ms);
  m.Expect("version file version (low)", want.file_version_ls, got.file_version_ls);
  m.Expect("version product version (high)", want.product_version_ms, got.product_version_ms);
  m.Expect("version product version (low)", want.product_version_ls, got.product_version_ls);
  m.Expect("version file flags mask", want.file_flags_mask, got.file_flags_mask);
  m.Expect("version file flags", want.file_flags, got.file_flags);
  m.Expect("version file OS", want.file_os, got.file_os);
  m.Expect("version file type", want.file_type, got.file_type);
  m.Expect("version file subtype", want.file_subtype, got.file_subtype);
  m.Expect("version file date (high)", want.file_date_ms, got.file_date_ms);
  m.Expect("version file date (low)", want.file_date_ls, got.file_date_ls);
}

void CompareStringFileInfo(Mismatches& m, const VersionNode* info) {
  if (!info) return m.Add("version StringFileInfo missing");
  m.Expect("version string table count", size_t{1}, info->children.size());
  if (info->children.empty()) return;
  const VersionNode& table = info->children.front();
  m.Expect("version string table key", ExpectedStringTableKey(), table.key);
  const auto& want = ExpectedVersionStrings();
  m.Expect("version string count", want.size(), table.children.size());
  for (size_t i = 0; i < want.size() && i < table.children.size(); ++i) {
    const VersionNode& entry = table.children[i];
    std::string e = "version string " + std::to_string(i + 1) + " ";
    m.Expect(e + "key", want[i].key, entry.key);
    m.Expect(e + "type (1 = text)", uint16_t{1}, entry.type);
    m.Expect(e + "value", want[i].value, entry.Text());
  }
}

void CompareVarFileInfo(Mismatches& m, const VersionNode* info) {
  if (!info) return m.Add("version VarFileInfo missing");
  const VersionNode* translation = info->Child(u"Translation");
  if (!translation) return m.Add("version Translation missing");
  std::vector<uint16_t> got;
  for (size_t i = 0; i + 1 < translation->value.size(); i += 2) {
    got.push_back(static_cast<uint16_t>(translation->value[i] | (translation->value[i + 1] << 8)));
  }
  const auto& want = ExpectedTranslation();
  m.Expect("version Translation size", want.size(), got.size());
  for (size_t i = 0; i < want.size() && i < got.size(); ++i) {
    m.Expect(i % 2 ? "version Translation code page" : "version Translation language", want[i], got[i]);
  }
}

void CompareIconImage(Mismatches& m, size_t index, const IconGroupEntry& entry, const ExpectedIcon& want,
                      const IResourceSource& source) {
  std::string c = "icon " + std::to_string(index + 1) + " ";
  auto bytes = source.Find(kTypeIcon, entry.id, kLanguageJapanese);
  if (!bytes) return m.Add(c + "image (RT_ICON " + std::to_string(entry.id) + ") missing in language 0x411");
  m.Expect(c + "image size against the group", static_cast<size_t>(entry.bytes_in_res), bytes->size());
  IconImage image = ParseIconImage(*bytes);
  if (image.is_png) return m.Add(c + "image is PNG-compressed, not a DIB");
  m.Expect(c + "header size (BITMAPINFOHEADER)", 40u, image.header_size);
  m.Expect(c + "bitmap width", static_cast<int32_t>(want.size), image.width);
  m.Expect(c + "bitmap height (with mask)", static_cast<int32_t>(want.size) * 2, image.height);
  m.Expect(c + "bitmap planes", uint16_t{1}, image.planes);
  m.Expect(c + "bitmap bit count", want.bit_count, image.bit_count);
  m.Expect(c + "bitmap compression", 0u, image.compression);
  size_t needed = IconImageBytesWithMask(image);
  if (needed == 0 || image.size < needed) {
    m.Add(c + "image too short for its bitmap and AND mask: " + std::to_string(image.size) + " bytes, needs " +
          std::to_string(needed));
  }
}

}  // namespace

Mismatches CheckLanguages(const IResourceSource& source) {
  Mismatches m;
  for (const auto& e : ExpectedLanguages()) {
    std::vector<uint16_t> got = source.Languages(e.type, e.id);
    if (got != std::vector<uint16_t>{e.language}) {
      m.Add(e.what + " language: expected " + DescribeNumber(e.language) + " only, got " + LanguageList(got));
    }
  }
  return m;
}

Mismatches CheckStrings(const IResourceSource& source) {
  Mismatches m;
  for (const auto& s : ExpectedStrings()) {
    std::string name = "string " + std::to_string(s.id);
    auto bytes = source.Find(kTypeString, StringBlockOf(s.id), kLanguageJapanese);
    if (!bytes) {
      m.Add(name + " missing: no block " + std::to_string(StringBlockOf(s.id)) + " in language 0x411");
      continue;
    }
    StringBlock block = ParseStringBlock(*bytes);
    if (!block.complete) m.Add(name + " block cut short");
    m.Expect(name + " text", s.text, block.texts[StringSlotOf(s.id)]);
  }
  uint16_t absent_block = StringBlockOf(kAbsentStringId);
  for (uint16_t language : source.Languages(kTypeString, absent_block)) {
    auto bytes = source.Find(kTypeString, absent_block, language);
    StringBlock block = ParseStringBlock(bytes ? *bytes : std::vector<uint8_t>{});
    if (!block.texts[StringSlotOf(kAbsentStringId)].empty() || !block.complete) {
      m.Add("string 0xE000 present in language " + DescribeNumber(language) + ": " +
            Describe(block.texts[StringSlotOf(kAbsentStringId)]));
    }
  }
  return m;
}

Mismatches CheckDialog(const IResourceSource& source) {
  Mismatches m;
  const ExpectedDialog& want = ExpectedUpdateDialog();
  auto bytes = source.Find(kTypeDialog, want.id, kLanguageJapanese);
  if (!bytes) {
    m.Add("dialog " + std::to_string(want.id) + " missing in language 0x411");
    return m;
  }
  DialogTemplate got = ParseDialogTemplate(*bytes);
  if (!got.error.empty()) m.Add("dialog template unreadable: " + got.error);
  if (got.version != 1 || got.signature != 0xFFFF) return m;
  CompareDialogHeader(m, want, got);
  const auto& controls = ExpectedControls();
  for (size_t i = 0; i < controls.size() && i < got.controls.size(); ++i) CompareControl(m, i, controls[i], got.controls[i]);
  return m;
}

Mismatches CheckVersion(const IResourceSource& source) {
  Mismatches m;
  auto bytes = source.Find(kTypeVersion, 1, kLanguageJapanese);
  if (!bytes) {
    m.Add("version block missing in language 0x411");
    return m;
  }
  VersionBlock block = ParseVersionBlock(*bytes);
  if (!block.error.empty()) m.Add("version block unreadable: " + block.error);
  m.Expect("version root key", std::u16string(u"VS_VERSION_INFO"), block.root.key);
  FixedFileInfo fixed{};
  if (ReadFixedFileInfo(block.root, fixed)) {
    CompareFixedVersion(m, fixed);
  } else {
    m.Add("version fixed part: expected 52 bytes, got " + std::to_string(block.root.value.size()));
  }
  m.Expect("version child count", size_t{2}, block.root.children.size());
  CompareStringFileInfo(m, block.root.Child(u"StringFileInfo"));
  CompareVarFileInfo(m, block.root.Child(u"VarFileInfo"));
  return m;
}

Mismatches CheckIcons(const IResourceSource& source) {
  Mismatches m;
  m.Expect("icon group count", size_t{1}, source.Names(kTypeGroupIcon).size());
  auto bytes = source.Find(kTypeGroupIcon, kIconGroupId, kLanguageJapanese);
  if (!bytes) {
    m.Add("icon group 128 missing in language 0x411");
    return m;
  }
  IconGroup group = ParseIconGroup(*bytes);
  if (!group.error.empty()) m.Add("icon group unreadable: " + group.error);
  m.Expect("icon group type", uint16_t{1}, group.type);
  const auto& want = ExpectedIcons();
  m.Expect("icon group image count", want.size(), group.entries.size());
  for (size_t i = 0; i < want.size() && i < group.entries.size(); ++i) {
    const IconGroupEntry& e = group.entries[i];
    std::string c = "icon " + std::to_string(i + 1) + " ";
    m.Expect(c + "width", want[i].size, e.width);
    m.Expect(c + "height", want[i].size, e.height);
    m.Expect(c + "bit count", want[i].bit_count, e.bit_count);
    m.Expect(c + "planes", uint16_t{1}, e.planes);
    m.Expect(c + "colour count", static_cast<uint8_t>(want[i].bit_count == 4 ? 16 : 0), e.colour_count);
    CompareIconImage(m, i, e, want[i], source);
  }
  return m;
}

Mismatches CheckManifest(const IResourceSource& source) {
  Mismatches m;
  auto bytes = source.Find(kTypeManifest, 1, kLanguageEnglishUs);
  if (!bytes) {
    m.Add("manifest missing in language 0x409");
    return m;
  }
  ManifestText text(std::string(bytes->begin(), bytes->end()));
  for (const auto& e : ExpectedManifestElements()) {
    size_t count = text.Count(e.element);
    if (count != 1) {
      m.Add("manifest element " + e.element + ": expected once, found " + std::to_string(count) + " times");
    } else if (!e.enclosed_by.empty() && !text.Encloses(e.enclosed_by, e.element)) {
      m.Add("manifest element " + e.element + " not inside " + e.enclosed_by);
    }
  }
  for (const auto& a : ExpectedManifestAttributes()) {
    std::string got = text.Attribute(a.element, a.attribute);
    if (got != a.value) m.Add("manifest " + a.element + " " + a.attribute + ": expected \"" + a.value + "\", got \"" + got + "\"");
  }
  return m;
}

const std::vector<ResourceCheck>& AllResourceChecks() {
  static const std::vector<ResourceCheck> checks = {
      {"Languages", CheckLanguages}, {"Strings", CheckStrings}, {"Dialog", CheckDialog},
      {"Version", CheckVersion},     {"Icons", CheckIcons},     {"Manifest", CheckManifest},
  };
  return checks;
}
