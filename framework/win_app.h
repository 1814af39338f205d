#pragma once
// The application object: one per program, registered by its constructor.
#include <string>

#include "framework/cmd_target.h"

class CWnd;

#ifndef ID_HELP
#define ID_HELP 0xE146
#endif

class CWinApp : public CCmdTarget {
public:
    // Registers this object as the application unless one is registered
    // already. A null name gives the executable's base name without extension.
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    ~CWinApp() override;

    LPCWSTR m_pszAppName = nullptr;
    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    LPCWSTR m_pszRegistryKey = nullptr;  // kept only; the registry is never touched

    virtual BOOL InitInstance();  // base: TRUE
    virtual int Run();            // message loop until WM_QUIT, then ExitInstance
    virtual int ExitInstance();   // base: the exit code (0 unless WM_QUIT carried one)
    // Base: MessageBoxW owned by the main window (or the active one), caption
    // m_pszAppName, with a default icon when nType names none.
    virtual int DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt);
    void SetRegistryKey(LPCWSTR lpszRegistryKey);

    afx_msg void OnHelp();  // no help system: nothing to show

    // The executable's file name without folder and extension.
    static std::wstring ExecutableBaseName();

protected:
    int m_nExitCode = 0;

    DECLARE_MESSAGE_MAP()

private:
    std::wstring m_appName;
    std::wstring m_registryKey;
};
