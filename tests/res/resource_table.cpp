#include <algorithm>
#include <stdexcept>

#include "tests/res/resource_source.h"

ResourceTable ResourceTable::CopyOf(const IResourceSource& from, const std::vector<uint16_t>& types) {
  ResourceTable table;
  for (uint16_t type : types) {
    for (uint16_t id : from.Names(type)) {
      for (uint16_t language : from.Languages(type, id)) {
        if (auto bytes = from.Find(type, id, language)) table.Put(type, id, language, std::move(*bytes));
      }
    }
  }
  return table;
}

std::optional<std::vector<uint8_t>> ResourceTable::Find(uint16_t type, uint16_t id, uint16_t language) const {
  auto it = entries_.find({type, id, language});
  if (it == entries_.end()) return std::nullopt;
  return it->second;
}

std::vector<uint16_t> ResourceTable::Languages(uint16_t type, uint16_t id) const {
  std::vector<uint16_t> out;
  for (const auto& [key, bytes] : entries_) {
    if (std::get<0>(key) == type && std::get<1>(key) == id) out.push_back(std::get<2>(key));
  }
  return out;
}

std::vector<uint16_t> ResourceTable::Names(uint16_t type) const {
  std::vector<uint16_t> out;
  for (const auto& [key, bytes] : entries_) {
    if (std::get<0>(key) == type && (out.empty() || out.back() != std::get<1>(key))) out.push_back(std::get<1>(key));
  }
  return out;
}

std::vector<uint8_t>& ResourceTable::At(uint16_t type, uint16_t id, uint16_t language) {
  auto it = entries_.find({type, id, language});
  if (it == entries_.end()) throw std::out_of_range("no such resource in the table");
  return it->second;
}

void ResourceTable::Put(uint16_t type, uint16_t id, uint16_t language, std::vector<uint8_t> bytes) {
  entries_[{type, id, language}] = std::move(bytes);
}

void ResourceTable::Remove(uint16_t type, uint16_t id, uint16_t language) { entries_.erase({type, id, language}); }
