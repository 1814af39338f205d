#include "app/version_api.h"

#include <mutex>

namespace {

std::mutex g_lock;
VersionApi g_installed;

template <typename Function>
Function Lookup(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

VersionApi LoadSystemVersionApi() {
    VersionApi api;
    // Kept loaded for the life of the process, as an import would be.
    const HMODULE module = ::LoadLibraryExW(L"version.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr) return api;
    api.getFileVersionInfoSize = Lookup<decltype(api.getFileVersionInfoSize)>(module, "GetFileVersionInfoSizeW");
    api.getFileVersionInfo = Lookup<decltype(api.getFileVersionInfo)>(module, "GetFileVersionInfoW");
    api.verQueryValue = Lookup<decltype(api.verQueryValue)>(module, "VerQueryValueW");
    return api;
}

bool IsInstalled(const VersionApi& api) {
    return api.getFileVersionInfoSize != nullptr || api.getFileVersionInfo != nullptr || api.verQueryValue != nullptr;
}

}  // namespace

VersionApi GetVersionApi() {
    {
        std::lock_guard<std::mutex> hold(g_lock);
        if (IsInstalled(g_installed)) return g_installed;
    }
    static const VersionApi system = LoadSystemVersionApi();
    return system;
}

VersionApi SetVersionApi(const VersionApi& api) {
    std::lock_guard<std::mutex> hold(g_lock);
    const VersionApi previous = g_installed;
    g_installed = api;
    return previous;
}
