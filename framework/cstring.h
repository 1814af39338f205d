#pragma once
// A small UTF-16 string with the handful of operations this program uses.
// The portable part carries the link's error texts and builds everywhere;
// the Windows part adds loading from the string table and printf-style
// formatting.
#include <cstddef>
#include <string>

#ifdef _WIN32
// winsock2.h first: windows.h alone pulls in the old winsock.h, which
// collides with winsock2.h included later by anyone.
#include <winsock2.h>
#include <windows.h>
#endif

class CString {
public:
    CString() = default;
    CString(const char16_t* text) : m_text(text ? text : u"") {}
    CString(const std::u16string& text) : m_text(text) {}

    const char16_t* GetString() const { return m_text.c_str(); }
    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    const std::u16string& str() const { return m_text; }

    CString& operator=(const char16_t* text) {
        m_text = text ? text : u"";
        return *this;
    }
    CString& operator+=(const CString& other) {
        m_text += other.m_text;
        return *this;
    }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }

#ifdef _WIN32
    // wchar_t is 16 bits on Windows, so the two views share one buffer.
    CString(const wchar_t* text) : CString(reinterpret_cast<const char16_t*>(text)) {}
    CString& operator=(const wchar_t* text) { return *this = reinterpret_cast<const char16_t*>(text); }
    operator const wchar_t*() const { return reinterpret_cast<const wchar_t*>(m_text.c_str()); }
    friend bool operator==(const CString& a, const wchar_t* b) { return a == CString(b); }

    // Loads a string-table entry; on failure the text stays as it was.
    // Without a module: the one that holds the string (the program's own).
    BOOL LoadString(UINT id);
    BOOL LoadString(HINSTANCE module, UINT id);
    void Format(const wchar_t* format, ...);
#endif

private:
    std::u16string m_text;
};
