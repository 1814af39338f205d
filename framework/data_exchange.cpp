#include "framework/data_exchange.h"

#include <vector>

#include "framework/wnd.h"

HWND CDataExchange::GetControl(int nIDC) const {
    if (m_pDlgWnd == nullptr || m_pDlgWnd->m_hWnd == nullptr) return nullptr;
    return ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
}

namespace {
CString ReadText(HWND control) {
    const int length = ::GetWindowTextLengthW(control);
    if (length <= 0) return CString();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const int copied = ::GetWindowTextW(control, buffer.data(), static_cast<int>(buffer.size()));
    buffer[static_cast<size_t>(copied > 0 ? copied : 0)] = L'\0';
    return CString(buffer.data());
}
}  // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    if (pDX == nullptr) return;
    HWND control = pDX->GetControl(nIDC);
    if (control == nullptr) return;
    if (pDX->m_bSaveAndValidate) {
        value = ReadText(control);
        return;
    }
    // Setting an unchanged text would only make the control flicker.
    if (ReadText(control) != value) ::SetWindowTextW(control, value);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (pDX == nullptr || rControl.m_hWnd != nullptr) return;
    HWND control = pDX->GetControl(nIDC);
    if (control != nullptr) rControl.SubclassWindow(control);
}
