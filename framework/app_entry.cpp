// The program's entry: the system's WinMain hands over to the framework.
#include "framework/afx_functions.h"
#include "framework/win_app.h"
#include "framework/wnd.h"

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return -1;  // the program defines no application object
    app->m_hInstance = hInstance;
    if (app->m_pszAppName == nullptr) {
        static const std::wstring baseName = CWinApp::ExecutableBaseName();
        app->m_pszAppName = baseName.c_str();
    }
    if (!app->InitInstance()) {
        if (app->m_pMainWnd != nullptr) app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
    return app->Run();
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR, int nCmdShow) {
    return AfxWinMain(hInstance, hPrevInstance, ::GetCommandLineW(), nCmdShow);
}
