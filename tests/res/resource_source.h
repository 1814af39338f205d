// Where the checks read resources from: a built program loaded as data, or
// (in the tests of the checks themselves) an edited copy held in memory.
// Types and names are integer ids, as all of this program's resources are.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

constexpr uint16_t kTypeIcon = 3;
constexpr uint16_t kTypeDialog = 5;
constexpr uint16_t kTypeString = 6;
constexpr uint16_t kTypeGroupIcon = 14;
constexpr uint16_t kTypeVersion = 16;
constexpr uint16_t kTypeManifest = 24;

class IResourceSource {
 public:
  virtual ~IResourceSource() = default;
  // The bytes stored under exactly this language, or nothing.
  virtual std::optional<std::vector<uint8_t>> Find(uint16_t type, uint16_t id, uint16_t language) const = 0;
  virtual std::vector<uint16_t> Languages(uint16_t type, uint16_t id) const = 0;
  virtual std::vector<uint16_t> Names(uint16_t type) const = 0;
};

// A program file opened with LoadLibraryExW as a data file and image
// resource: none of its code runs and nothing it imports is loaded.
std::unique_ptr<IResourceSource> OpenProgramResources(const std::wstring& path, std::string& error);

// Resources held in memory, keyed by type, id and language.
class ResourceTable : public IResourceSource {
 public:
  // Copies every resource of the given types from another source.
  static ResourceTable CopyOf(const IResourceSource& from, const std::vector<uint16_t>& types);

  std::optional<std::vector<uint8_t>> Find(uint16_t type, uint16_t id, uint16_t language) const override;
  std::vector<uint16_t> Languages(uint16_t type, uint16_t id) const override;
  std::vector<uint16_t> Names(uint16_t type) const override;

  std::vector<uint8_t>& At(uint16_t type, uint16_t id, uint16_t language);
  void Put(uint16_t type, uint16_t id, uint16_t language, std::vector<uint8_t> bytes);
  void Remove(uint16_t type, uint16_t id, uint16_t language);

 private:
  std::map<std::tuple<uint16_t, uint16_t, uint16_t>, std::vector<uint8_t>> entries_;
};
