#pragma once
// The test program's one application object. Its DoMessageBox records every
// call and shows nothing, unless a test asks for the framework's own
// behaviour (which then reaches the replaceable message-box call).
#include <mutex>
#include <string>
#include <vector>

#include "framework/framework.h"

struct MessageBoxCall {
    DWORD threadId;
    std::wstring prompt;
    UINT type;
    UINT idPrompt;
};

class TestApp : public CWinApp {
public:
    int DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt) override;

    std::vector<MessageBoxCall> TakeCalls();
    bool m_useBaseMessageBox = false;
    int m_commandCount = 0;

protected:
    afx_msg void OnTestCommand() { ++m_commandCount; }
    DECLARE_MESSAGE_MAP()

private:
    std::mutex m_mutex;
    std::vector<MessageBoxCall> m_calls;
};

// A command only the test application's own map holds.
constexpr UINT kTestAppCommand = 0x7F01;

TestApp& TheTestApp();
