// Start-up as a single instance, the message-box caption on every thread,
// and the version label.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "app/instance_name.h"
#include "app/single_instance.h"
#include "app/task_registry.h"
#include "app/updater_app.h"
#include "app/version_api.h"
#include "app/version_label.h"
#include "res/resource.h"
#include "tests/app/box_catcher.h"
#include "tests/app/dialog_runner.h"
#include "tests/app/fake_printer.h"

extern CKR52xBriselUpdateApp g_testApplication;

namespace {

TEST(MessageBoxCaption, EveryBoxCarriesTheTitleAndTheNameComesBack) {
    BoxCatcher boxes;
    const LPCWSTR appName = g_testApplication.m_pszAppName;
    const std::wstring nameText = appName ? appName : L"";
    std::thread first([] { AfxMessageBox(L"first"); });
    ASSERT_TRUE(boxes.WaitForBoxes(1));
    std::thread second([] { AfxMessageBox(IDS_MSG_FAILED, MB_OK | MB_ICONEXCLAMATION); });
    ASSERT_TRUE(boxes.WaitForBoxes(2));
    // The first box closes while the second is still open: the name must
    // come back only when the last one has gone, and as it was.
    boxes.DismissOldest();
    first.join();
    boxes.DismissOldest();
    second.join();
    const auto caught = boxes.Boxes();
    ASSERT_EQ(2u, caught.size());
    for (const auto& box : caught) EXPECT_EQ(ResourceText(IDS_APP_TITLE), box.caption) << std::string(box.text.begin(), box.text.end());
    EXPECT_EQ(L"first", caught[0].text);
    EXPECT_EQ(ResourceText(IDS_MSG_FAILED), caught[1].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), caught[0].type & MB_ICONMASK) << "the default icon for MB_OK";
    EXPECT_EQ(appName, g_testApplication.m_pszAppName);
    EXPECT_EQ(nameText, std::wstring(g_testApplication.m_pszAppName ? g_testApplication.m_pszAppName : L""));
    EXPECT_FALSE(nameText.empty());
}

// --- version label ------------------------------------------------------

struct FakeVersionBlock {
    DWORD size = sizeof(VS_FIXEDFILEINFO) + 16;
    BOOL readOk = TRUE;
    BOOL queryOk = TRUE;
    UINT queryLength = sizeof(VS_FIXEDFILEINFO);
    bool rootOutside = false;
    DWORD signature = VS_FFI_SIGNATURE;
    DWORD ms = MAKELONG(0, 2);
    DWORD ls = 0;
};
FakeVersionBlock g_block;
VS_FIXEDFILEINFO g_outside;

DWORD WINAPI FakeSize(LPCWSTR, LPDWORD handle) {
    if (handle) *handle = 0;
    return g_block.size;
}
BOOL WINAPI FakeRead(LPCWSTR, DWORD, DWORD length, LPVOID data) {
    if (!g_block.readOk) return FALSE;
    std::memset(data, 0, length);
    VS_FIXEDFILEINFO info = {};
    info.dwSignature = g_block.signature;
    info.dwFileVersionMS = g_block.ms;
    info.dwFileVersionLS = g_block.ls;
    std::memcpy(static_cast<unsigned char*>(data) + 8, &info, sizeof(info));
    return TRUE;
}
BOOL WINAPI FakeQuery(LPCVOID block, LPCWSTR subBlock, LPVOID* buffer, PUINT length) {
    if (!g_block.queryOk || std::wcscmp(subBlock, L"\\") != 0) return FALSE;
    if (g_block.rootOutside) {
        g_outside = {};
        g_outside.dwSignature = VS_FFI_SIGNATURE;
        *buffer = &g_outside;
    } else {
        *buffer = const_cast<unsigned char*>(static_cast<const unsigned char*>(block) + 8);
    }
    *length = g_block.queryLength;
    return TRUE;
}

class VersionLabel : public ::testing::Test {
protected:
    void SetUp() override {
        g_block = FakeVersionBlock();
        VersionApi fake;
        fake.getFileVersionInfoSize = &FakeSize;
        fake.getFileVersionInfo = &FakeRead;
        fake.verQueryValue = &FakeQuery;
        m_previous = SetVersionApi(fake);
    }
    void TearDown() override { SetVersionApi(m_previous); }
    VersionApi m_previous;
};

TEST(VersionLabelOfThisProgram, ReadsTheVersionBlock) {
    EXPECT_EQ(L"Version 2.00", std::wstring(OwnVersionLabel()));
}

TEST_F(VersionLabel, JoinsMinorAndBuildAndDropsTheFourthPart) {
    const struct {
        DWORD ms, ls;
        const wchar_t* label;
    } cases[] = {
        {MAKELONG(0, 2), MAKELONG(0, 0), L"Version 2.00"},
        {MAKELONG(1, 2), MAKELONG(0, 3), L"Version 2.13"},
        {MAKELONG(2, 1), MAKELONG(4, 3), L"Version 1.23"},
        {MAKELONG(2, 1), MAKELONG(0, 10), L"Version 1.210"},
        {0xFFFFFFFFu, 0xFFFF0000u, L"Version 65535.6553565535"},
    };
    for (const auto& c : cases) {
        g_block.ms = c.ms;
        g_block.ls = c.ls;
        EXPECT_EQ(c.label, std::wstring(OwnVersionLabel()));
    }
}

TEST_F(VersionLabel, UnreadableInformationGivesTheFixedFallback) {
    const struct {
        const char* name;
        void (*spoil)(FakeVersionBlock&);
    } cases[] = {
        {"no information", [](FakeVersionBlock& b) { b.size = 0; }},
        {"read fails", [](FakeVersionBlock& b) { b.readOk = FALSE; }},
        {"no root block", [](FakeVersionBlock& b) { b.queryOk = FALSE; }},
        {"root block too short", [](FakeVersionBlock& b) { b.queryLength = sizeof(VS_FIXEDFILEINFO) - 1; }},
        {"root outside the block", [](FakeVersionBlock& b) { b.rootOutside = true; }},
        {"not a fixed file info", [](FakeVersionBlock& b) { b.signature = 0x12345678; }},
    };
    for (const auto& c : cases) {
        g_block = FakeVersionBlock();
        g_block.ms = MAKELONG(7, 9);
        c.spoil(g_block);
        EXPECT_EQ(kUnknownVersionLabel, std::wstring(OwnVersionLabel())) << c.name;
    }
}

// --- start-up -------------------------------------------------------------

// Runs before the second-instance test: every InitInstance leaves the
// mutex open for the rest of the process, as the program does.
TEST(StartUp, TheFirstInstanceRunsTheDialogAsItsMainWindow) {
    ScopedFakePrinter printer;
    BOOL result = TRUE;
    std::thread app([&result] { result = g_testApplication.InitInstance(); });
    HWND dialog = nullptr;
    for (int i = 0; i < 2000 && dialog == nullptr; ++i) {
        ::Sleep(10);
        dialog = FindRunningInstanceWindow();
    }
    if (dialog == nullptr) {
        app.join();
        FAIL() << "no dialog came up; InitInstance gave " << result;
    }
    EXPECT_NE(nullptr, g_testApplication.m_pMainWnd);
    EXPECT_EQ(dialog, g_testApplication.m_pMainWnd->GetSafeHwnd());
    ASSERT_TRUE(WaitForRecordedTasks(10000));
    ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    app.join();
    EXPECT_FALSE(result);
    EXPECT_EQ(nullptr, g_testApplication.m_pMainWnd);
    ASSERT_NE(nullptr, g_testApplication.m_pszRegistryKey);
    EXPECT_EQ(std::wstring(kRegistryKeyName), g_testApplication.m_pszRegistryKey);
    EXPECT_EQ(nullptr, FindRunningInstanceWindow()) << "the property left with the window";
    // The mutex now exists for the rest of this process: a new start ends.
    EXPECT_FALSE(ClaimSingleInstance());
}

TEST(StartUp, ASecondInstanceBringsTheFirstToTheFrontAndShowsNothing) {
    // Another instance: its mutex, and a window carrying the property.
    const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, kSingleInstanceName);
    ASSERT_NE(nullptr, mutex);
    const HWND running = ::CreateWindowExW(0, L"STATIC", L"running instance", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                                           nullptr, nullptr, nullptr, nullptr);
    ::SetPropW(running, kSingleInstanceName, reinterpret_cast<HANDLE>(1));
    ::ShowWindow(running, SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(running));
    EXPECT_EQ(running, FindRunningInstanceWindow());

    ScopedFakePrinter printer;
    const LPCWSTR keyBefore = g_testApplication.m_pszRegistryKey;
    EXPECT_FALSE(g_testApplication.InitInstance());
    EXPECT_FALSE(::IsIconic(running)) << "restored";
    EXPECT_EQ(nullptr, g_testApplication.m_pMainWnd) << "no dialog of its own";
    EXPECT_EQ(keyBefore, g_testApplication.m_pszRegistryKey) << "left before the rest of the start-up";
    EXPECT_EQ(0, printer.state.opens);

    ::RemovePropW(running, kSingleInstanceName);
    ::DestroyWindow(running);
    EXPECT_EQ(nullptr, FindRunningInstanceWindow());
    // No window to bring forward: it still ends at once.
    EXPECT_FALSE(g_testApplication.InitInstance());
    ::CloseHandle(mutex);
}

}  // namespace
