// Message boxes: every one goes through the application's DoMessageBox, and
// from there through one replaceable call to the system.
#include <atomic>

#include "framework/afx_functions.h"
#include "framework/cstring.h"
#include "framework/win_app.h"

namespace {
int WINAPI SystemMessageBox(HWND hOwner, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
    return ::MessageBoxW(hOwner, lpText, lpCaption, uType);
}
std::atomic<AFX_MESSAGEBOX_PROC> g_messageBox{&SystemMessageBox};
}  // namespace

AFX_MESSAGEBOX_PROC AfxSetMessageBoxProc(AFX_MESSAGEBOX_PROC pfnMessageBox) {
    return g_messageBox.exchange(pfnMessageBox ? pfnMessageBox : &SystemMessageBox);
}

int AfxCallMessageBox(HWND hOwner, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
    return g_messageBox.load()(hOwner, lpText, lpCaption, uType);
}

int AfxMessageBox(LPCWSTR lpszText, UINT nType, UINT nIDHelp) {
    if (lpszText == nullptr) lpszText = L"";
    CWinApp* app = AfxGetApp();
    if (app != nullptr) return app->DoMessageBox(lpszText, nType, nIDHelp);
    return AfxCallMessageBox(::GetActiveWindow(), lpszText, nullptr, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    CString prompt;
    prompt.LoadString(AfxFindStringResourceHandle(nIDPrompt), nIDPrompt);
    if (nIDHelp == static_cast<UINT>(-1)) nIDHelp = nIDPrompt;
    return AfxMessageBox(static_cast<const wchar_t*>(prompt), nType, nIDHelp);
}
