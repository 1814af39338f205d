// The application object and the free functions around it.
#include <gtest/gtest.h>

#include <thread>

#include "tests/framework/test_app.h"
#include "tests/framework/test_resource.h"

namespace {

struct SeamCall {
    HWND owner = nullptr;
    std::wstring text, caption;
    UINT type = 0;
    int count = 0;
};
SeamCall g_seam;

int WINAPI RecordingMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    g_seam.owner = owner;
    g_seam.text = text ? text : L"<null>";
    g_seam.caption = caption ? caption : L"<null>";
    g_seam.type = type;
    ++g_seam.count;
    return IDRETRY;  // a value no default path would produce
}

// Puts the recording seam in place and the framework's own DoMessageBox in
// the path; restores both afterwards.
class BaseMessageBox : public ::testing::Test {
protected:
    void SetUp() override {
        g_seam = SeamCall{};
        m_previous = AfxSetMessageBoxProc(&RecordingMessageBox);
        TheTestApp().m_useBaseMessageBox = true;
        TheTestApp().TakeCalls();
    }
    void TearDown() override {
        AfxSetMessageBoxProc(m_previous);
        TheTestApp().m_useBaseMessageBox = false;
        TheTestApp().m_pMainWnd = nullptr;
        TheTestApp().TakeCalls();
    }
    AFX_MESSAGEBOX_PROC m_previous = nullptr;
};

}  // namespace

TEST(Application, TheFirstObjectIsTheApplication) {
    EXPECT_EQ(AfxGetApp(), &TheTestApp());
    CWinApp second(L"Second");
    EXPECT_EQ(AfxGetApp(), &TheTestApp()) << "a later object must not take over";
    EXPECT_STREQ(second.m_pszAppName, L"Second");
}

TEST(Application, NameDefaultsToTheExecutableBaseName) {
    EXPECT_STREQ(TheTestApp().m_pszAppName, L"framework_tests");
    EXPECT_EQ(CWinApp::ExecutableBaseName(), L"framework_tests");
}

TEST(Application, HandlesDefaultToTheProgramModule) {
    EXPECT_EQ(AfxGetInstanceHandle(), ::GetModuleHandleW(nullptr));
    EXPECT_EQ(AfxGetResourceHandle(), ::GetModuleHandleW(nullptr));
}

TEST(Application, MainWindowIsTheApplicationsPointer) {
    CWnd window;
    TheTestApp().m_pMainWnd = &window;
    EXPECT_EQ(AfxGetMainWnd(), &window);
    TheTestApp().m_pMainWnd = nullptr;
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
}

TEST(Application, RegistryKeyIsKeptAsACopy) {
    CWinApp app(L"x");
    std::wstring key = L"ローカル アプリケーション";
    app.SetRegistryKey(key.c_str());
    key.assign(L"changed");
    EXPECT_STREQ(app.m_pszRegistryKey, L"ローカル アプリケーション");
}

TEST(Application, CommandsRouteThroughTheMapChain) {
    TestApp& app = TheTestApp();
    const int before = app.m_commandCount;
    EXPECT_TRUE(app.OnCmdMsg(kTestAppCommand, 0));
    EXPECT_EQ(app.m_commandCount, before + 1);
    EXPECT_TRUE(app.OnCmdMsg(ID_HELP, 0)) << "ID_HELP lives in the base map";
    EXPECT_FALSE(app.OnCmdMsg(0x7F02, 0));
    EXPECT_FALSE(app.OnCmdMsg(kTestAppCommand, 1)) << "an accelerator code is another entry";
    EXPECT_EQ(app.m_commandCount, before + 1);
}

TEST(AfxMessageBox, ReachesDoMessageBoxOnTheCallingThread) {
    TheTestApp().TakeCalls();
    DWORD workerId = 0;
    int result = 0;
    std::thread worker([&] {
        workerId = ::GetCurrentThreadId();
        result = AfxMessageBox(L"from the worker", MB_OK | MB_ICONEXCLAMATION, 7);
    });
    worker.join();
    const auto calls = TheTestApp().TakeCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].threadId, workerId);
    EXPECT_NE(calls[0].threadId, ::GetCurrentThreadId());
    EXPECT_EQ(calls[0].prompt, L"from the worker");
    EXPECT_EQ(calls[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(calls[0].idPrompt, 7u);
    EXPECT_EQ(result, IDOK);
}

TEST(AfxMessageBox, StringIdFormLoadsThePromptAndUsesTheIdForHelp) {
    TheTestApp().TakeCalls();
    AfxMessageBox(IDS_PROBE_TEXT, MB_YESNO);
    AfxMessageBox(IDS_PROBE_PROMPT, MB_OK, 55);
    AfxMessageBox(IDS_MISSING);
    const auto calls = TheTestApp().TakeCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].prompt, L"ファームウェア・バージョンアップソフト");
    EXPECT_EQ(calls[0].type, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(calls[0].idPrompt, static_cast<UINT>(IDS_PROBE_TEXT));
    EXPECT_EQ(calls[1].prompt, L"Probe prompt");
    EXPECT_EQ(calls[1].idPrompt, 55u);
    EXPECT_EQ(calls[2].prompt, L"") << "a missing string gives an empty prompt, not garbage";
}

TEST(AfxMessageBox, NullTextBecomesEmpty) {
    TheTestApp().TakeCalls();
    AfxMessageBox(static_cast<LPCWSTR>(nullptr));
    const auto calls = TheTestApp().TakeCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].prompt, L"");
}

TEST_F(BaseMessageBox, OwnedByTheMainWindowCaptionedWithTheAppName) {
    CWnd mainWindow;
    mainWindow.m_hWnd = reinterpret_cast<HWND>(0x1234);  // only passed on, never used
    TheTestApp().m_pMainWnd = &mainWindow;
    const LPCWSTR keptName = TheTestApp().m_pszAppName;
    TheTestApp().m_pszAppName = L"キャプション";
    const int result = AfxMessageBox(L"text", MB_OK);
    TheTestApp().m_pszAppName = keptName;
    mainWindow.m_hWnd = nullptr;
    EXPECT_EQ(result, IDRETRY) << "the system's answer is passed back";
    EXPECT_EQ(g_seam.count, 1);
    EXPECT_EQ(g_seam.owner, reinterpret_cast<HWND>(0x1234));
    EXPECT_EQ(g_seam.caption, L"キャプション");
    EXPECT_EQ(g_seam.text, L"text");
}

TEST_F(BaseMessageBox, WithoutAMainWindowTheActiveWindowOwnsIt) {
    std::thread worker([] { AfxMessageBox(L"from a worker"); });
    worker.join();
    EXPECT_EQ(g_seam.count, 1);
    EXPECT_EQ(g_seam.owner, nullptr) << "a worker thread has no active window";
}

TEST_F(BaseMessageBox, AddsADefaultIconOnlyWhenNoneIsNamed) {
    struct Case {
        UINT given;
        UINT shown;
    };
    const Case cases[] = {
        {MB_OK, MB_OK | MB_ICONEXCLAMATION},
        {MB_OKCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION},
        {MB_YESNO, MB_YESNO | MB_ICONQUESTION},
        {MB_OK | MB_ICONINFORMATION, MB_OK | MB_ICONINFORMATION},
        {MB_OK | MB_ICONSTOP, MB_OK | MB_ICONSTOP},
        {MB_OK | MB_ICONEXCLAMATION, MB_OK | MB_ICONEXCLAMATION},
        {MB_RETRYCANCEL | MB_TOPMOST, MB_RETRYCANCEL | MB_TOPMOST},
    };
    for (const Case& c : cases) {
        AfxMessageBox(L"x", c.given);
        EXPECT_EQ(g_seam.type, c.shown) << "given 0x" << std::hex << c.given;
    }
}

TEST(AfxFindStringResourceHandle, NamesTheModuleThatHoldsTheString) {
    EXPECT_EQ(AfxFindStringResourceHandle(IDS_PROBE_TEXT), ::GetModuleHandleW(nullptr));
    EXPECT_EQ(AfxFindStringResourceHandle(IDS_MISSING), nullptr);
    EXPECT_EQ(AfxFindStringResourceHandle(0xE000), nullptr);
}

TEST(AfxSocketInit, StartsVersionOneOneAndMayBeCalledAgain) {
    WSADATA data{};
    ASSERT_TRUE(AfxSocketInit(&data));
    EXPECT_EQ(data.wVersion, MAKEWORD(1, 1));
    EXPECT_TRUE(AfxSocketInit());
    WSADATA again{};
    EXPECT_TRUE(AfxSocketInit(&again));
    EXPECT_EQ(again.wVersion, MAKEWORD(1, 1));
    // Sockets really work now: a socket can be created and closed.
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_NE(s, INVALID_SOCKET);
    if (s != INVALID_SOCKET) ::closesocket(s);
}

TEST(AfxEnableControlContainer, Succeeds) { EXPECT_TRUE(AfxEnableControlContainer()); }
