#include "tests/res/version_block.h"

#include "tests/res/byte_reader.h"

namespace {

constexpr int kMaxDepth = 8;

bool ReadNode(const std::vector<uint8_t>& bytes, size_t start, size_t limit, int depth,
              VersionNode& node, std::string& error) {
  ByteReader head(bytes, start, limit);
  uint16_t length = head.Word();
  uint16_t value_length = head.Word();
  node.type = head.Word();
  if (!head.ok() || length < 6 || length > limit - start) {
    error = "node length out of bounds at offset " + std::to_string(start);
    return false;
  }
  ByteReader in(bytes, start, start + length);
  in.Seek(head.pos());
  node.key = in.Text();
  in.AlignToDword();
  size_t value_bytes = node.type == 1 ? value_length * 2u : value_length;
  if (value_bytes > in.end() - in.pos()) {
    error = "value of \"" + std::string(node.key.begin(), node.key.end()) + "\" runs past its node";
    return false;
  }
  node.value = in.Bytes(value_bytes);
  in.AlignToDword();
  if (!in.ok()) {
    error = "node cut short at offset " + std::to_string(start);
    return false;
  }
  if (depth >= kMaxDepth && !in.AtEnd()) {
    error = "nodes nested too deep";
    return false;
  }
  while (!in.AtEnd()) {
    VersionNode child;
    size_t child_start = in.pos();
    if (!ReadNode(bytes, child_start, in.end(), depth + 1, child, error)) return false;
    ByteReader step(bytes, child_start, in.end());
    in.Seek(child_start + step.Word());
    in.AlignToDword();
    node.children.push_back(std::move(child));
  }
  return true;
}

uint32_t DwordAt(const std::vector<uint8_t>& v, size_t i) {
  return static_cast<uint32_t>(v[i] | (v[i + 1] << 8) | (v[i + 2] << 16)) |
         (static_cast<uint32_t>(v[i + 3]) << 24);
}

}  // namespace

std::u16string VersionNode::Text() const {
  std::u16string out;
  for (size_t i = 0; i + 1 < value.size(); i += 2) {
    char16_t c = static_cast<char16_t>(value[i] | (value[i + 1] << 8));
    if (c == 0) break;
    out.push_back(c);
  }
  return out;
}

const VersionNode* VersionNode::Child(const std::u16string& child_key) const {
  for (const auto& c : children) {
    if (c.key == child_key) return &c;
  }
  return nullptr;
}

VersionBlock ParseVersionBlock(const std::vector<uint8_t>& bytes) {
  VersionBlock block;
  ReadNode(bytes, 0, bytes.size(), 0, block.root, block.error);
  return block;
}

bool ReadFixedFileInfo(const VersionNode& root, FixedFileInfo& out) {
  if (root.value.size() != 52) return false;
  uint32_t* fields[] = {&out.signature, &out.struc_version, &out.file_version_ms,
                        &out.file_version_ls, &out.product_version_ms, &out.product_version_ls,
                        &out.file_flags_mask, &out.file_flags, &out.file_os, &out.file_type,
                        &out.file_subtype, &out.file_date_ms, &out.file_date_ls};
  for (size_t i = 0; i < 13; ++i) *fields[i] = DwordAt(root.value, i * 4);
  return true;
}
