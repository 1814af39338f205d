// The Windows half of CString: string-table loading and formatting.
#include <cstdarg>
#include <cwchar>
#include <vector>

#include "cstring.h"

BOOL CString::LoadString(UINT id) {
    return LoadString(::GetModuleHandleW(nullptr), id);
}

BOOL CString::LoadString(HINSTANCE module, UINT id) {
    if (module == nullptr) return FALSE;
    const wchar_t* text = nullptr;
    // Asking for length 0 yields a read-only pointer into the resource itself.
    const int length = ::LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return FALSE;
    m_text.assign(reinterpret_cast<const char16_t*>(text), static_cast<std::size_t>(length));
    return TRUE;
}

// The formatter reports truncation and malformed input alike with -1, so the
// buffer grows only up to a bound; past it the result is empty rather than
// the loop eating all memory.
void CString::Format(const wchar_t* format, ...) {
    constexpr std::size_t kMaxChars = std::size_t{1} << 20;
    if (format == nullptr) {
        m_text.clear();
        return;
    }
    std::vector<wchar_t> buffer(256);
    while (buffer.size() <= kMaxChars) {
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
    m_text.clear();
}
