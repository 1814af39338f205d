// The one place that touches the Windows resource functions.
#include <windows.h>

#include "tests/res/resource_source.h"

namespace {

class ProgramResources : public IResourceSource {
 public:
  explicit ProgramResources(HMODULE module) : module_(module) {}
  ~ProgramResources() override { FreeLibrary(module_); }
  ProgramResources(const ProgramResources&) = delete;
  ProgramResources& operator=(const ProgramResources&) = delete;

  std::optional<std::vector<uint8_t>> Find(uint16_t type, uint16_t id, uint16_t language) const override {
    HRSRC info = FindResourceExW(module_, MAKEINTRESOURCEW(type), MAKEINTRESOURCEW(id), language);
    if (!info) return std::nullopt;
    HGLOBAL loaded = LoadResource(module_, info);
    DWORD size = SizeofResource(module_, info);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return std::nullopt;
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
  }

  std::vector<uint16_t> Languages(uint16_t type, uint16_t id) const override {
    std::vector<uint16_t> out;
    EnumResourceLanguagesW(module_, MAKEINTRESOURCEW(type), MAKEINTRESOURCEW(id), &AddLanguage,
                           reinterpret_cast<LONG_PTR>(&out));
    return out;
  }

  std::vector<uint16_t> Names(uint16_t type) const override {
    std::vector<uint16_t> out;
    EnumResourceNamesW(module_, MAKEINTRESOURCEW(type), &AddName, reinterpret_cast<LONG_PTR>(&out));
    return out;
  }

 private:
  static BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) {
    reinterpret_cast<std::vector<uint16_t>*>(param)->push_back(language);
    return TRUE;
  }
  static BOOL CALLBACK AddName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    // Names given as text are not ours; they are left out.
    if (IS_INTRESOURCE(name)) {
      reinterpret_cast<std::vector<uint16_t>*>(param)->push_back(static_cast<uint16_t>(reinterpret_cast<ULONG_PTR>(name)));
    }
    return TRUE;
  }

  HMODULE module_;
};

}  // namespace

std::unique_ptr<IResourceSource> OpenProgramResources(const std::wstring& path, std::string& error) {
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) {
    error = "cannot open the program as a data file (error " + std::to_string(GetLastError()) + ")";
    return nullptr;
  }
  return std::make_unique<ProgramResources>(module);
}
