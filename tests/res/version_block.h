// A VS_VERSIONINFO tree: each node is wLength, wValueLength, wType, a key,
// padding, a value, padding and child nodes, all aligned to four bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct VersionNode {
  std::u16string key;
  uint16_t type = 0;  // 1: text value, 0: binary value
  std::vector<uint8_t> value;
  std::vector<VersionNode> children;

  // The value as text up to its first NUL (text nodes only).
  std::u16string Text() const;
  const VersionNode* Child(const std::u16string& child_key) const;
};

struct FixedFileInfo {
  uint32_t signature, struc_version, file_version_ms, file_version_ls,
      product_version_ms, product_version_ls, file_flags_mask, file_flags,
      file_os, file_type, file_subtype, file_date_ms, file_date_ls;
};

struct VersionBlock {
  VersionNode root;
  std::string error;  // empty when the tree was read to its end
};

VersionBlock ParseVersionBlock(const std::vector<uint8_t>& bytes);
// The root's value as VS_FIXEDFILEINFO; false if it is not 52 bytes.
bool ReadFixedFileInfo(const VersionNode& root, FixedFileInfo& out);
