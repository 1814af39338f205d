#include "app/basic_dialog.h"

void CBasicDlg::OnOK() {}

void CBasicDlg::OnCancel() {
    // Escape arrives here as IDCANCEL just like the close box does.
    if (::GetKeyState(VK_ESCAPE) < 0) return;
    // Alt+F4 and a plain WM_CLOSE reach here even while the Close command
    // is grayed; a grayed Close means the window must stay.
    const CMenu* systemMenu = GetSystemMenu(FALSE);
    if (systemMenu != nullptr) {
        const UINT closeState = systemMenu->GetMenuState(SC_CLOSE, MF_BYCOMMAND);
        if (closeState != static_cast<UINT>(-1) && (closeState & (MF_GRAYED | MF_DISABLED)) != 0) return;
    }
    CDialog::OnCancel();
}
