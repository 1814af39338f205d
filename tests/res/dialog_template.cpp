#include "tests/res/dialog_template.h"

#include "tests/res/byte_reader.h"

namespace {

constexpr uint32_t kDsSetFont = 0x40;
constexpr uint32_t kDsShellFont = 0x48;

NameOrOrdinal ReadNameOrOrdinal(ByteReader& in) {
  size_t start = in.pos();
  uint16_t first = in.Word();
  if (first == 0xFFFF) return NameOrOrdinal::Ordinal(in.Word());
  if (first == 0) return NameOrOrdinal::Name({});
  in.Seek(start);
  return NameOrOrdinal::Name(in.Text());
}

void ReadHeader(ByteReader& in, DialogTemplate& t) {
  t.version = in.Word();
  t.signature = in.Word();
  t.help_id = in.Dword();
  t.ex_style = in.Dword();
  t.style = in.Dword();
  t.item_count = in.Word();
  t.x = static_cast<int16_t>(in.Word());
  t.y = static_cast<int16_t>(in.Word());
  t.cx = static_cast<int16_t>(in.Word());
  t.cy = static_cast<int16_t>(in.Word());
  t.menu = ReadNameOrOrdinal(in);
  t.window_class = ReadNameOrOrdinal(in);
  t.title = in.Text();
  if ((t.style & kDsSetFont) || (t.style & kDsShellFont) == kDsShellFont) {
    t.point_size = in.Word();
    t.weight = in.Word();
    t.italic = in.Byte();
    t.charset = in.Byte();
    t.typeface = in.Text();
  }
}

DialogControl ReadControl(ByteReader& in) {
  DialogControl c;
  in.AlignToDword();
  c.offset = in.pos();
  c.help_id = in.Dword();
  c.ex_style = in.Dword();
  c.style = in.Dword();
  c.x = static_cast<int16_t>(in.Word());
  c.y = static_cast<int16_t>(in.Word());
  c.cx = static_cast<int16_t>(in.Word());
  c.cy = static_cast<int16_t>(in.Word());
  c.id = in.Dword();
  c.window_class = ReadNameOrOrdinal(in);
  c.title = ReadNameOrOrdinal(in);
  c.extra_count = in.Word();
  in.Bytes(c.extra_count);
  return c;
}

}  // namespace

DialogTemplate ParseDialogTemplate(const std::vector<uint8_t>& bytes) {
  DialogTemplate t;
  ByteReader in(bytes);
  ReadHeader(in, t);
  if (!in.ok()) {
    t.error = "header cut short";
    return t;
  }
  if (t.version != 1 || t.signature != 0xFFFF) {
    t.error = "not an extended template";
    return t;
  }
  for (uint16_t i = 0; i < t.item_count; ++i) {
    DialogControl c = ReadControl(in);
    if (!in.ok()) {
      t.error = "control " + std::to_string(i + 1) + " cut short";
      return t;
    }
    t.controls.push_back(std::move(c));
  }
  return t;
}
