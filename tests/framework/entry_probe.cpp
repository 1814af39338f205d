// A program built on the framework's entry point. Its exit code says whether
// the entry prepared the application object as expected:
//   no argument: InitInstance returns FALSE, ExitInstance's code ends the program;
//   "run":       InitInstance returns TRUE, the message loop ends on WM_QUIT 5.
#include <cwchar>

#include "framework/framework.h"

namespace {

class ProbeApp : public CWinApp {
public:
    BOOL InitInstance() override {
        m_checked = AfxGetApp() == this && m_hInstance == ::GetModuleHandleW(nullptr) &&
                    m_pszAppName != nullptr && std::wcscmp(m_pszAppName, L"framework_entry_probe") == 0;
        m_run = std::wcsstr(::GetCommandLineW(), L" run") != nullptr;
        if (!m_run) return FALSE;
        ::PostQuitMessage(5);
        return TRUE;
    }
    int ExitInstance() override {
        if (!m_checked) return 3;
        const int code = CWinApp::ExitInstance();
        if (m_run) return code == 5 ? 0 : 4;
        return code == 0 ? 0 : 6;
    }

private:
    bool m_checked = false;
    bool m_run = false;
};

ProbeApp theApp;

}  // namespace
