#include "tests/framework/test_app.h"

namespace {
TestApp theApp;
}

TestApp& TheTestApp() { return theApp; }

BEGIN_MESSAGE_MAP(TestApp, CWinApp)
    ON_COMMAND(kTestAppCommand, &TestApp::OnTestCommand)
END_MESSAGE_MAP()

int TestApp::DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls.push_back({::GetCurrentThreadId(), lpszPrompt ? lpszPrompt : L"<null>", nType, nIDPrompt});
    }
    if (m_useBaseMessageBox) return CWinApp::DoMessageBox(lpszPrompt, nType, nIDPrompt);
    return IDOK;
}

std::vector<MessageBoxCall> TestApp::TakeCalls() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<MessageBoxCall> calls;
    calls.swap(m_calls);
    return calls;
}
