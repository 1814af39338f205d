#include "app/updater_app.h"

#include <mutex>

#include "app/resource_strings.h"
#include "app/single_instance.h"
#include "app/update_dialog.h"
#include "res/resource.h"

const wchar_t kSocketInitFailedText[] = L"Windowsソケットの初期化に失敗しました";
const wchar_t kRegistryKeyName[] = L"アプリケーション ウィザードで生成されたローカル アプリケーション";

BEGIN_MESSAGE_MAP(CKR52xBriselUpdateApp, CWinApp)
    ON_COMMAND(ID_HELP, &ThisClass::OnHelp)
END_MESSAGE_MAP()

namespace {
// Makes a window the application's main window for the length of a scope.
class MainWindowScope {
public:
    MainWindowScope(CWinApp& app, CWnd& window) : m_app(app) { m_app.m_pMainWnd = &window; }
    ~MainWindowScope() { m_app.m_pMainWnd = nullptr; }
    MainWindowScope(const MainWindowScope&) = delete;
    MainWindowScope& operator=(const MainWindowScope&) = delete;

private:
    CWinApp& m_app;
};
}  // namespace

BOOL CKR52xBriselUpdateApp::InitInstance() {
    if (!ClaimSingleInstance()) {
        const HWND running = FindRunningInstanceWindow();
        if (running != nullptr) BringToFront(running);
        return FALSE;
    }
    INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    CWinApp::InitInstance();
    AfxEnableControlContainer();
    if (!AfxSocketInit()) {
        AfxMessageBox(kSocketInitFailedText, MB_OK, 0);
        return FALSE;
    }
    SetRegistryKey(kRegistryKeyName);
    CKR52xBriselUpdateDlg dialog;
    // The dialog object goes at the end of this scope, also when an
    // exception passes: nothing may point at it afterwards.
    const MainWindowScope mainWindow(*this, dialog);
    dialog.DoModal();
    return FALSE;
}

namespace {
// Boxes may overlap on the GUI thread and a task's thread. The first one in
// swaps the title in, the last one out puts the application name back.
std::mutex g_captionLock;
int g_boxesOpen = 0;
LPCWSTR g_savedAppName = nullptr;
CString g_caption;
}  // namespace

int CKR52xBriselUpdateApp::DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt) {
    {
        std::lock_guard<std::mutex> hold(g_captionLock);
        if (g_boxesOpen++ == 0) {
            g_caption.Empty();
            LoadResourceString(g_caption, IDS_APP_TITLE);
            g_savedAppName = m_pszAppName;
            m_pszAppName = g_caption;
        }
    }
    const int result = CWinApp::DoMessageBox(lpszPrompt, nType, nIDPrompt);
    {
        std::lock_guard<std::mutex> hold(g_captionLock);
        if (--g_boxesOpen == 0) m_pszAppName = g_savedAppName;
    }
    return result;
}
