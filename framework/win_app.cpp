// The application object and its defaults.
#include "framework/win_app.h"

#include <vector>

#include "framework/afx_functions.h"
#include "framework/app_registry.h"
#include "framework/wnd.h"

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCWSTR lpszAppName) : m_hInstance(::GetModuleHandleW(nullptr)) {
    m_appName = lpszAppName ? std::wstring(lpszAppName) : ExecutableBaseName();
    m_pszAppName = m_appName.c_str();
    afx_detail::RegisterApp(this);
}

CWinApp::~CWinApp() { afx_detail::UnregisterApp(this); }

std::wstring CWinApp::ExecutableBaseName() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= 32768) return std::wstring();
        path.resize(path.size() * 2);
    }
    std::wstring name(path.begin(), path.end());
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot != 0) name.erase(dot);
    return name;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
    MSG msg;
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            m_nExitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1) break;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return ExitInstance();
}

int CWinApp::ExitInstance() { return m_nExitCode; }

void CWinApp::SetRegistryKey(LPCWSTR lpszRegistryKey) {
    m_registryKey = lpszRegistryKey ? lpszRegistryKey : L"";
    m_pszRegistryKey = lpszRegistryKey ? m_registryKey.c_str() : nullptr;
}

void CWinApp::OnHelp() {}

namespace {
UINT WithDefaultIcon(UINT nType) {
    if ((nType & MB_ICONMASK) != 0) return nType;
    switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            return nType | MB_ICONEXCLAMATION;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            return nType | MB_ICONQUESTION;
        default:
            return nType;
    }
}
}  // namespace

int CWinApp::DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT) {
    HWND owner = m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
    if (owner == nullptr) owner = ::GetActiveWindow();
    return AfxCallMessageBox(owner, lpszPrompt ? lpszPrompt : L"", m_pszAppName, WithDefaultIcon(nType));
}
