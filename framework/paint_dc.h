#pragma once
// A paint context for the length of one WM_PAINT handler.
#include "framework/platform_headers.h"

class CWnd;

class CPaintDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC m_hDC = nullptr;
    PAINTSTRUCT m_ps{};

    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }
    BOOL DrawIcon(int x, int y, HICON hIcon);

private:
    HWND m_hWnd;
};
