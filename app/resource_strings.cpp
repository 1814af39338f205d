#include "app/resource_strings.h"

BOOL LoadResourceString(CString& text, UINT id) {
    const HINSTANCE module = AfxFindStringResourceHandle(id);
    if (module == nullptr) return FALSE;
    const wchar_t* entry = nullptr;
    // Length 0 asks for a read-only pointer into the resource itself, which
    // also carries embedded CR LF pairs and needs no buffer size guess.
    const int length = ::LoadStringW(module, id, reinterpret_cast<LPWSTR>(&entry), 0);
    if (length <= 0 || entry == nullptr) return FALSE;
    text = CString(std::u16string(reinterpret_cast<const char16_t*>(entry), static_cast<std::size_t>(length)));
    return TRUE;
}
