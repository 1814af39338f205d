#pragma once
// The frame of the process: one instance per user, then the update dialog
// as the main window until it closes.
#include "framework/framework.h"

class CKR52xBriselUpdateApp : public CWinApp {
public:
    CKR52xBriselUpdateApp() : CWinApp(nullptr) {}
    ~CKR52xBriselUpdateApp() override {}

    BOOL InitInstance() override;
    // Every box carries the program's title, whichever thread raises it.
    int DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt) override;

    DECLARE_MESSAGE_MAP()
};

// Text of the box shown when Windows Sockets cannot be started.
extern const wchar_t kSocketInitFailedText[];
// The registry key handed to SetRegistryKey; nothing is ever stored there.
extern const wchar_t kRegistryKeyName[];
