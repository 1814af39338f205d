// The thin wrappers of CWnd over user32.
#include <vector>

#include "framework/wnd.h"

BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

void CWnd::GetClientRect(LPRECT lpRect) const {
    if (!::GetClientRect(m_hWnd, lpRect)) ::SetRectEmpty(lpRect);
}

void CWnd::GetWindowRect(LPRECT lpRect) const {
    if (!::GetWindowRect(m_hWnd, lpRect)) ::SetRectEmpty(lpRect);
}

void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) { ::InvalidateRect(m_hWnd, lpRect, bErase); }

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

HICON CWnd::GetIcon(BOOL bBigIcon) const {
    return reinterpret_cast<HICON>(::SendMessageW(m_hWnd, WM_GETICON, bBigIcon ? ICON_BIG : ICON_SMALL, 0));
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

void CWnd::SetWindowText(LPCWSTR lpszString) { ::SetWindowTextW(m_hWnd, lpszString ? lpszString : L""); }

void CWnd::GetWindowText(CString& rString) const {
    rString.Empty();
    if (m_hWnd == nullptr) return;
    const int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) return;
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const int copied = ::GetWindowTextW(m_hWnd, buffer.data(), static_cast<int>(buffer.size()));
    buffer[static_cast<size_t>(copied > 0 ? copied : 0)] = L'\0';
    rString = buffer.data();
}

CString CWnd::GetWindowText() const {
    CString text;
    GetWindowText(text);
    return text;
}

CWnd* CWnd::SetFocus() {
    HWND previous = ::SetFocus(m_hWnd);
    return previous ? FromHandlePermanent(previous) : nullptr;
}

void CWnd::CenterWindow() {
    RECT window;
    if (!::GetWindowRect(m_hWnd, &window)) return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
    const RECT& work = monitor.rcWork;
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    // A window larger than the work area keeps its top-left corner on screen.
    int x = work.left + (work.right - work.left - width) / 2;
    int y = work.top + (work.bottom - work.top - height) / 2;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
