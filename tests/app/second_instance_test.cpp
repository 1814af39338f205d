// The shipped program started twice: the second start shows nothing and
// ends by itself, and the first, minimised, comes back to the front.
#include <gtest/gtest.h>

#include <string>

#include "app/instance_name.h"
#include "framework/platform_headers.h"

namespace {

// The program sits at app/ of the same build folder as this test's tests/app/.
std::wstring UpdaterPath() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    for (int up = 0; up < 3; ++up) path.resize(path.find_last_of(L"\\/"));
    return path + L"\\app\\LMXFirmwareUpdater.exe";
}

struct Process {
    PROCESS_INFORMATION info = {};
    bool Start(const std::wstring& program) {
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        std::wstring commandLine = L"\"" + program + L"\"";
        return ::CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                &startup, &info) != FALSE;
    }
    ~Process() {
        if (info.hProcess != nullptr) {
            if (::WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(info.hProcess, 1);
            ::CloseHandle(info.hProcess);
            ::CloseHandle(info.hThread);
        }
    }
};

struct Found {
    DWORD processId;
    int count;
    HWND window;
};

BOOL CALLBACK CountInstanceWindows(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<Found*>(param);
    if (::GetPropW(window, kSingleInstanceName) == nullptr) return TRUE;
    ++found->count;
    found->window = window;
    return TRUE;
}

Found InstanceWindows() {
    Found found = {0, 0, nullptr};
    ::EnumWindows(&CountInstanceWindows, reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST(SecondInstance, EndsQuietlyAndBringsTheFirstBack) {
    const std::wstring program = UpdaterPath();
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(program.c_str()));
    Process first;
    ASSERT_TRUE(first.Start(program));
    Found running = {};
    for (int i = 0; i < 2000 && running.count == 0; ++i) {
        ::Sleep(10);
        running = InstanceWindows();
    }
    ASSERT_EQ(1, running.count) << "the first instance's dialog never came up";
    ::ShowWindow(running.window, SW_MINIMIZE);
    for (int i = 0; i < 500 && !::IsIconic(running.window); ++i) ::Sleep(10);
    ASSERT_TRUE(::IsIconic(running.window));

    Process second;
    ASSERT_TRUE(second.Start(program));
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(second.info.hProcess, 20000)) << "the second start did not end";
    EXPECT_EQ(1, InstanceWindows().count) << "the second start showed a dialog";
    for (int i = 0; i < 500 && ::IsIconic(running.window); ++i) ::Sleep(10);
    EXPECT_FALSE(::IsIconic(running.window)) << "the first was not restored";

    ::PostMessageW(running.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(first.info.hProcess, 40000)) << "the first did not close";
}

}  // namespace
