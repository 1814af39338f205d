// The checks themselves must notice faults: each case below damages one
// field of a copy of the probe's resources and expects the check to name it.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "res/resource.h"
#include "tests/res/dialog_template.h"
#include "tests/res/expected_resources.h"
#include "tests/res/program_under_test.h"
#include "tests/res/resource_checks.h"
#include "tests/res/string_block.h"

namespace {

const std::vector<uint16_t> kAllTypes = {kTypeIcon,      kTypeDialog,  kTypeString,
                                         kTypeGroupIcon, kTypeVersion, kTypeManifest};

std::string RunAllChecks(const IResourceSource& source) {
  std::string out;
  for (const auto& check : AllResourceChecks()) out += check.run(source).Joined();
  return out;
}

std::vector<uint8_t> EncodeStringBlock(const StringBlock& block) {
  std::vector<uint8_t> out;
  auto word = [&out](uint16_t w) {
    out.push_back(static_cast<uint8_t>(w));
    out.push_back(static_cast<uint8_t>(w >> 8));
  };
  for (const auto& text : block.texts) {
    word(static_cast<uint16_t>(text.size()));
    for (char16_t c : text) word(c);
  }
  return out;
}

void EditString(ResourceTable& t, uint16_t id, const std::function<void(std::u16string&)>& edit) {
  auto& bytes = t.At(kTypeString, StringBlockOf(id), kLanguageJapanese);
  StringBlock block = ParseStringBlock(bytes);
  edit(block.texts[StringSlotOf(id)]);
  bytes = EncodeStringBlock(block);
}

// Index of the first occurrence of needle in bytes; fails the test if none.
size_t Locate(const std::vector<uint8_t>& bytes, const std::vector<uint8_t>& needle) {
  auto at = std::search(bytes.begin(), bytes.end(), needle.begin(), needle.end());
  EXPECT_NE(at, bytes.end()) << "fixture: pattern not found";
  return at == bytes.end() ? 0 : static_cast<size_t>(at - bytes.begin());
}

std::vector<uint8_t> Utf16Bytes(const std::u16string& text) {
  std::vector<uint8_t> out;
  for (char16_t c : text) {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  return out;
}

void MoveLanguage(ResourceTable& t, uint16_t type, uint16_t id, uint16_t from, uint16_t to) {
  std::vector<uint8_t> bytes = t.At(type, id, from);
  t.Remove(type, id, from);
  t.Put(type, id, to, std::move(bytes));
}

std::vector<uint8_t>& Dialog(ResourceTable& t) { return t.At(kTypeDialog, IDD_UPDATE_DIALOG, kLanguageJapanese); }
size_t ControlOffset(ResourceTable& t, size_t number) { return ParseDialogTemplate(Dialog(t)).controls.at(number - 1).offset; }
std::vector<uint8_t>& Version(ResourceTable& t) { return t.At(kTypeVersion, 1, kLanguageJapanese); }
std::vector<uint8_t>& IconGroupBytes(ResourceTable& t) { return t.At(kTypeGroupIcon, IDI_APP_ICON, kLanguageJapanese); }
uint16_t IconId(ResourceTable& t, size_t number) {
  const auto& g = IconGroupBytes(t);
  size_t at = 6 + 14 * (number - 1) + 12;
  return static_cast<uint16_t>(g.at(at) | (g.at(at + 1) << 8));
}

struct Damage {
  const char* name;
  std::function<void(ResourceTable&)> apply;
  const char* reported;
};

const std::vector<Damage>& Damages() {
  static const std::vector<Damage> damages = {
      {"DialogExtendedStyle", [](ResourceTable& t) { Dialog(t)[10] = 0; }, "dialog extended style"},
      {"DialogCaption", [](ResourceTable& t) {
         auto& d = Dialog(t);
         size_t solidus = Locate(d, Utf16Bytes(u"／"));  // full-width, made half-width
         d[solidus] = '/';
         d[solidus + 1] = 0;
       }, "dialog caption"},
      {"DialogFontCharset", [](ResourceTable& t) {
         auto& d = Dialog(t);
         d[Locate(d, Utf16Bytes(u"MS UI Gothic")) - 1] = 0;
       }, "dialog font character set"},
      {"ControlTabStop", [](ResourceTable& t) { Dialog(t)[ControlOffset(t, 3) + 10] |= 0x01; }, "control 3 style"},
      {"ControlRectangle", [](ResourceTable& t) { Dialog(t)[ControlOffset(t, 4) + 12] = 206; }, "control 4 x"},
      {"ControlId", [](ResourceTable& t) { Dialog(t)[ControlOffset(t, 2) + 20] = 0x00; }, "control 2 id"},
      {"ControlClassName", [](ResourceTable& t) { Dialog(t)[ControlOffset(t, 7) + 24] = 'n'; }, "control 7 class"},
      {"ControlClassOrdinal", [](ResourceTable& t) { Dialog(t)[ControlOffset(t, 4) + 26] = 0x81; }, "control 4 class"},
      {"DialogCutShort", [](ResourceTable& t) { Dialog(t).resize(Dialog(t).size() - 1); }, "dialog template unreadable"},
      {"StringCharacter", [](ResourceTable& t) { EditString(t, IDS_MSG_UPDATING, [](auto& s) { s[22] = u'.'; }); },
       "string 1104 text"},
      {"StringTrailingLineBreak", [](ResourceTable& t) { EditString(t, IDS_MSG_FAILED, [](auto& s) { s.resize(s.size() - 2); }); },
       "string 1107 text"},
      {"StringFullWidthLetters", [](ResourceTable& t) {
         EditString(t, IDS_MSG_FAILED, [](auto& s) { s.replace(s.find(u"ＵＳＢ"), 3, u"USB"); });
       }, "string 1107 text"},
      {"StringE000Present", [](ResourceTable& t) {
         StringBlock block;
         block.texts[StringSlotOf(kAbsentStringId)] = u"LMX";
         t.Put(kTypeString, StringBlockOf(kAbsentStringId), kLanguageEnglishUs, EncodeStringBlock(block));
       }, "string 0xE000 present"},
      {"StringBlockLanguage", [](ResourceTable& t) {
         MoveLanguage(t, kTypeString, StringBlockOf(IDS_MSG_NO_DEVICE), kLanguageJapanese, kLanguageEnglishUs);
       }, "string block 69 language"},
      {"VersionFileVersion", [](ResourceTable& t) {
         auto& v = Version(t);
         v[Locate(v, {0xBD, 0x04, 0xEF, 0xFE}) + 8] = 1;
       }, "version file version (high)"},
      {"VersionFileFlags", [](ResourceTable& t) {
         auto& v = Version(t);
         v[Locate(v, {0xBD, 0x04, 0xEF, 0xFE}) + 28] = 1;
       }, "version file flags"},
      {"VersionStringKey", [](ResourceTable& t) {
         auto& v = Version(t);
         v[Locate(v, Utf16Bytes(u"CompanyName"))] = 'K';
       }, "version string 1 key"},
      {"VersionStringValue", [](ResourceTable& t) {
         auto& v = Version(t);
         v[Locate(v, Utf16Bytes(u"2.0.0.0"))] = '3';
       }, "version string 3 value"},
      {"VersionTranslation", [](ResourceTable& t) {
         auto& v = Version(t);
         v[Locate(v, {0x11, 0x04, 0xA4, 0x03}) + 2] = 0xE4;
       }, "version Translation code page"},
      {"VersionLengthPastEnd", [](ResourceTable& t) { Version(t)[1] = 0x7F; }, "version block unreadable"},
      {"IconOrder", [](ResourceTable& t) { std::swap(IconGroupBytes(t)[6], IconGroupBytes(t)[6 + 14]); }, "icon 1 width"},
      {"IconBitCount", [](ResourceTable& t) { IconGroupBytes(t)[6 + 14 + 6] = 8; }, "icon 2 bit count"},
      {"IconPng", [](ResourceTable& t) {
         auto& img = t.At(kTypeIcon, IconId(t, 5), kLanguageJapanese);
         const uint8_t png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
         std::copy(png, png + sizeof png, img.begin());
       }, "icon 5 image is PNG"},
      {"IconMaskMissing", [](ResourceTable& t) {
         auto& img = t.At(kTypeIcon, IconId(t, 9), kLanguageJapanese);
         img.resize(img.size() - 16 * 4);
       }, "icon 9 image too short"},
      {"IconImageMissing", [](ResourceTable& t) { t.Remove(kTypeIcon, IconId(t, 6), kLanguageJapanese); }, "icon 6 image"},
      {"ManifestLevel", [](ResourceTable& t) {
         auto& m = t.At(kTypeManifest, 1, kLanguageEnglishUs);
         std::string text(m.begin(), m.end());
         text.replace(text.find("asInvoker"), 9, "requireAdministrator");
         m.assign(text.begin(), text.end());
       }, "manifest requestedExecutionLevel level"},
      {"ManifestVersion", [](ResourceTable& t) {
         auto& m = t.At(kTypeManifest, 1, kLanguageEnglishUs);
         m[Locate(m, {'6', '.', '0', '.', '0', '.', '0'})] = '5';
       }, "manifest assemblyIdentity version"},
      {"ManifestLanguage", [](ResourceTable& t) {
         MoveLanguage(t, kTypeManifest, 1, kLanguageEnglishUs, kLanguageJapanese);
       }, "manifest language"},
  };
  return damages;
}

class ResourceChecksTest : public testing::Test {
 protected:
  void SetUp() override {
    if (ProgramAbsent()) GTEST_SKIP() << "the shipped program is not part of this build";
    std::string error;
    const IResourceSource* source = ProgramResources(error);
    ASSERT_NE(source, nullptr) << error;
    table_ = ResourceTable::CopyOf(*source, kAllTypes);
  }
  ResourceTable table_;
};

TEST_F(ResourceChecksTest, UndamagedCopyPasses) { EXPECT_EQ(RunAllChecks(table_), ""); }

class DamagedResourceTest : public ResourceChecksTest, public testing::WithParamInterface<Damage> {};

TEST_P(DamagedResourceTest, CheckNamesTheField) {
  GetParam().apply(table_);
  std::string found = RunAllChecks(table_);
  EXPECT_NE(found.find(GetParam().reported), std::string::npos)
      << "expected a report of \"" << GetParam().reported << "\", got:\n" << found;
}

INSTANTIATE_TEST_SUITE_P(Damage, DamagedResourceTest, testing::ValuesIn(Damages()),
                         [](const testing::TestParamInfo<Damage>& info) { return info.param.name; });

// Every shorter copy of a structured resource is reported, and reading it
// stays inside the buffer (the sanitizer-free Wine run would still crash on
// a wild read far enough out).
TEST_F(ResourceChecksTest, EveryTruncationIsReported) {
  struct Target {
    uint16_t type, id, language;
  };
  const Target targets[] = {
      {kTypeDialog, IDD_UPDATE_DIALOG, kLanguageJapanese},
      {kTypeVersion, 1, kLanguageJapanese},
      {kTypeGroupIcon, IDI_APP_ICON, kLanguageJapanese},
      {kTypeString, StringBlockOf(IDS_MSG_FAILED), kLanguageJapanese},
  };
  for (const auto& target : targets) {
    const std::vector<uint8_t> whole = table_.At(target.type, target.id, target.language);
    for (size_t size = 0; size < whole.size(); ++size) {
      ResourceTable damaged = table_;
      damaged.Put(target.type, target.id, target.language, std::vector<uint8_t>(whole.begin(), whole.begin() + size));
      ASSERT_NE(RunAllChecks(damaged), "") << "type " << target.type << " cut to " << size << " bytes went unnoticed";
    }
  }
}

}  // namespace
