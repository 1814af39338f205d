// The Windows half of CString: string-table loading and formatting.
#include <cstdarg>
#include <cwchar>
#include <vector>

#include "cstring.h"

BOOL CString::LoadString(UINT id) {
    const wchar_t* text = nullptr;
    // Asking for length 0 yields a read-only pointer into the resource itself.
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return FALSE;
    m_text.assign(reinterpret_cast<const char16_t*>(text), static_cast<std::size_t>(length));
    return TRUE;
}

void CString::Format(const wchar_t* format, ...) {
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list args;
        va_start(args, format);
        const int written = _vsnwprintf(buffer.data(), buffer.size(), format, args);
        va_end(args);
        if (written >= 0 && static_cast<std::size_t>(written) < buffer.size()) {
            m_text.assign(reinterpret_cast<const char16_t*>(buffer.data()), static_cast<std::size_t>(written));
            return;
        }
        buffer.resize(buffer.size() * 2);
    }
}
