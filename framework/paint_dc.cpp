#include "framework/paint_dc.h"

#include "framework/wnd.h"

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
    if (m_hWnd != nullptr) m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC() {
    if (m_hDC != nullptr) ::EndPaint(m_hWnd, &m_ps);
}

BOOL CPaintDC::DrawIcon(int x, int y, HICON hIcon) {
    if (m_hDC == nullptr) return FALSE;
    return ::DrawIcon(m_hDC, x, y, hIcon);
}
