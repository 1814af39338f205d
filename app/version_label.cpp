#include "app/version_label.h"

#include <vector>

#include "app/version_api.h"

BOOL ReadFixedFileInfo(const wchar_t* path, VS_FIXEDFILEINFO& info) {
    const VersionApi api = GetVersionApi();
    if (api.getFileVersionInfoSize == nullptr || api.getFileVersionInfo == nullptr || api.verQueryValue == nullptr) {
        return FALSE;
    }
    DWORD ignored = 0;
    const DWORD size = api.getFileVersionInfoSize(path, &ignored);
    if (size == 0) return FALSE;
    std::vector<unsigned char> block(size);
    if (!api.getFileVersionInfo(path, 0, size, block.data())) return FALSE;
    LPVOID root = nullptr;
    UINT length = 0;
    if (!api.verQueryValue(block.data(), L"\\", &root, &length)) return FALSE;
    if (root == nullptr || length < sizeof(VS_FIXEDFILEINFO)) return FALSE;
    // The root must lie inside the block we read, nowhere else.
    const auto* first = static_cast<const unsigned char*>(root);
    if (first < block.data() || first + sizeof(VS_FIXEDFILEINFO) > block.data() + block.size()) return FALSE;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(root);
    if (fixed->dwSignature != VS_FFI_SIGNATURE) return FALSE;
    info = *fixed;
    return TRUE;
}

CString OwnVersionLabel() {
    wchar_t path[520] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, 520);
    VS_FIXEDFILEINFO info = {};
    // A truncated path names some other file: better no version than a wrong one.
    if (length == 0 || length >= 520 || !ReadFixedFileInfo(path, info)) return CString(kUnknownVersionLabel);
    CString label;
    label.Format(L"Version %d.%d%d", static_cast<int>(HIWORD(info.dwFileVersionMS)),
                 static_cast<int>(LOWORD(info.dwFileVersionMS)), static_cast<int>(HIWORD(info.dwFileVersionLS)));
    return label;
}
