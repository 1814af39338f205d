// Binding a CWnd to its window and routing the window's messages through the
// object's message map.
#include "framework/wnd.h"

#include "framework/afx_functions.h"
#include "framework/data_exchange.h"
#include "framework/win_app.h"

namespace {
// The object bound to a window, and the procedure it replaced. The second one
// is kept on the window too, so a message arriving after the object let go
// still reaches the right default processing.
const wchar_t kObjectProperty[] = L"lmx.framework.CWnd";
const wchar_t kSuperProperty[] = L"lmx.framework.WndProc";
}  // namespace

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) Unbind();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (hWnd == nullptr) return nullptr;
    return static_cast<CWnd*>(::GetPropW(hWnd, kObjectProperty));
}

BOOL CWnd::Attach(HWND hWnd) {
    if (m_hWnd != nullptr || !::IsWindow(hWnd)) return FALSE;
    m_hWnd = hWnd;
    return TRUE;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (m_hWnd != nullptr || !::IsWindow(hWnd) || FromHandlePermanent(hWnd) != nullptr) return FALSE;
    if (!::SetPropW(hWnd, kObjectProperty, this)) return FALSE;
    m_hWnd = hWnd;
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    if (m_pfnSuper == nullptr) {  // a window of another process, for instance
        ::RemovePropW(hWnd, kObjectProperty);
        m_hWnd = nullptr;
        return FALSE;
    }
    ::SetPropW(hWnd, kSuperProperty, reinterpret_cast<HANDLE>(m_pfnSuper));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    if (pParent == nullptr || pParent->m_hWnd == nullptr) return FALSE;
    return SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr && FromHandlePermanent(hWnd) == this) {
        Unbind();
    } else {
        m_hWnd = nullptr;
    }
    return hWnd;
}

void CWnd::Unbind() {
    HWND hWnd = m_hWnd;
    const auto ours = reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc);
    if (m_pfnSuper != nullptr && ::GetWindowLongPtrW(hWnd, GWLP_WNDPROC) == ours) {
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        ::RemovePropW(hWnd, kSuperProperty);
    }
    ::RemovePropW(hWnd, kObjectProperty);
    m_hWnd = nullptr;
    m_pfnSuper = nullptr;
    m_systemMenu.m_hMenu = nullptr;
    m_temporaryChildren.clear();
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandlePermanent(hWnd);
    if (wnd == nullptr) {
        auto super = reinterpret_cast<WNDPROC>(::GetPropW(hWnd, kSuperProperty));
        return super ? ::CallWindowProcW(super, hWnd, message, wParam, lParam)
                     : ::DefWindowProcW(hWnd, message, wParam, lParam);
    }
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window is gone: from here on no message may reach the object,
        // and a main window that no longer exists is no main window.
        wnd->Unbind();
        CWinApp* app = AfxGetApp();
        if (app != nullptr && app->m_pMainWnd == wnd) app->m_pMainWnd = nullptr;
        wnd->PostNcDestroy();
    }
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const CurrentMessage outer = m_current;
    m_current = CurrentMessage{message, wParam, lParam};
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    m_current = outer;
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    // A command from a menu or an accelerator (no control behind it) is one
    // command whatever its source code says.
    const WPARAM key = (message == WM_COMMAND && lParam == 0) ? MAKEWPARAM(LOWORD(wParam), 0) : wParam;
    if (const AFX_MSGMAP_ENTRY* entry = AfxFindMessageEntry(GetMessageMap(), message, key)) {
        *pResult = entry->pfnInvoke(this, wParam, lParam);
        return TRUE;
    }
    // Commands nobody in the window handled go on to the application.
    if (message == WM_COMMAND) {
        CWinApp* app = AfxGetApp();
        if (app != nullptr && app->OnCmdMsg(LOWORD(key), HIWORD(key))) {
            *pResult = 0;
            return TRUE;
        }
    }
    return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper != nullptr) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

void CWnd::PostNcDestroy() {}

void CWnd::OnPaint() { Default(); }

HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) return FALSE;
    HWND hWnd = m_hWnd;
    const bool bound = FromHandlePermanent(hWnd) == this;
    const BOOL destroyed = ::DestroyWindow(hWnd);
    // A bound window lets go of the object itself at WM_NCDESTROY.
    if (destroyed && !bound) m_hWnd = nullptr;
    return destroyed;
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    if (m_hWnd == nullptr) return FALSE;
    CDataExchange exchange(this, bSaveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

CWnd* CWnd::GetDlgItem(int nID) const {
    if (m_hWnd == nullptr) return nullptr;
    HWND child = ::GetDlgItem(m_hWnd, nID);
    if (child == nullptr) return nullptr;
    if (CWnd* bound = FromHandlePermanent(child)) return bound;
    std::unique_ptr<CWnd>& slot = m_temporaryChildren[child];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = child;
    }
    return slot.get();
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const {
    if (m_hWnd == nullptr) return nullptr;
    HMENU menu = ::GetSystemMenu(m_hWnd, bRevert);
    if (menu == nullptr) return nullptr;
    m_systemMenu.m_hMenu = menu;
    return &m_systemMenu;
}
