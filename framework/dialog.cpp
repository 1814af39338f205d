// CDialog: creation from the template, the modal loop, and the end of it.
#include "framework/dialog.h"

#include "framework/afx_functions.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) ::DestroyWindow(m_hWnd);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
    // Everything but the first message reaches the object through the
    // subclassed window procedure; here only the binding happens.
    if (message != WM_INITDIALOG || FromHandlePermanent(hWnd) != nullptr) return FALSE;
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    if (dialog == nullptr || !dialog->SubclassWindow(hWnd)) return FALSE;
    dialog->CenterWindow();
    return dialog->OnInitDialog();
}

HWND CDialog::CreateFromTemplate(HWND hOwner) {
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(m_nIDTemplate), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (found == nullptr) return nullptr;
    HGLOBAL loaded = ::LoadResource(module, found);
    auto* dialogTemplate = static_cast<LPCDLGTEMPLATEW>(::LockResource(loaded));
    if (dialogTemplate == nullptr) return nullptr;
    return ::CreateDialogIndirectParamW(module, dialogTemplate, hOwner, &CDialog::DialogProc,
                                       reinterpret_cast<LPARAM>(this));
}

// Without a parent a dialog belongs to the main window's top-level window,
// so it cannot fall behind it; the main window itself has no owner.
HWND CDialog::OwnerWindow() const {
    HWND owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    if (owner == nullptr) {
        CWnd* mainWindow = AfxGetMainWnd();
        if (mainWindow != nullptr && mainWindow != this) owner = mainWindow->GetSafeHwnd();
    }
    return owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd != nullptr) return -1;  // already running
    HWND owner = OwnerWindow();
    m_nModalResult = -1;
    m_bInModalLoop = true;  // before creation: OnInitDialog may already end the dialog
    if (CreateFromTemplate(owner) == nullptr || m_hWnd == nullptr) {
        m_bInModalLoop = false;
        return -1;
    }
    const bool disableOwner = owner != nullptr && ::IsWindowEnabled(owner);
    if (disableOwner) ::EnableWindow(owner, FALSE);
    if (!::IsWindowVisible(m_hWnd)) ::ShowWindow(m_hWnd, SW_SHOWNORMAL);

    RunModalLoop();

    // Hide first and give the owner back its input, then let the (possibly
    // overridden) DestroyWindow take its time while the window still exists.
    if (m_hWnd != nullptr) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    if (disableOwner) {
        ::EnableWindow(owner, TRUE);
        ::SetActiveWindow(owner);
    }
    DestroyWindow();
    return m_nModalResult;
}

void CDialog::RunModalLoop() {
    MSG msg;
    while (m_bInModalLoop && m_hWnd != nullptr) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Someone wants the program to end: leave the loop and pass the
            // request on to whatever loop runs outside this one.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_nModalResult = -1;
            break;
        }
        if (got == -1) break;
        if (m_hWnd == nullptr || !::IsDialogMessageW(m_hWnd, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    m_bInModalLoop = false;
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    m_bInModalLoop = false;
    // Wakes the loop when the call came from outside it (another thread).
    if (m_hWnd != nullptr) ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() { EndDialog(IDOK); }

void CDialog::OnCancel() { EndDialog(IDCANCEL); }
