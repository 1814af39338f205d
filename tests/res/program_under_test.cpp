#include "tests/res/program_under_test.h"

#include <windows.h>

#include <memory>

namespace {

std::string g_argument;

std::wstring Widen(const std::string& text) {
  std::wstring out;
  if (text.empty()) return out;
  int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  out.resize(static_cast<size_t>(n));
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::wstring ProbeBesideTestProgram() {
  wchar_t self[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self, n);
  size_t slash = path.find_last_of(L"\\/");
  return path.substr(0, slash == std::wstring::npos ? 0 : slash + 1) + L"res_probe.exe";
}

}  // namespace

void SetProgramArgument(const std::string& argument) { g_argument = argument; }

bool ProgramAbsent() { return g_argument == kNoProgram; }

std::wstring ProgramPath() {
  if (g_argument.empty()) return ProbeBesideTestProgram();
  std::wstring path = Widen(g_argument);
  if (path[0] == L'/') {
    for (auto& c : path) c = c == L'/' ? L'\\' : c;
    path = L"Z:" + path;
  }
  return path;
}

const IResourceSource* ProgramResources(std::string& error) {
  static std::string open_error;
  static std::unique_ptr<IResourceSource> source = OpenProgramResources(ProgramPath(), open_error);
  error = open_error;
  return source.get();
}
