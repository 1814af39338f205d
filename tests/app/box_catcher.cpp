#include "tests/app/box_catcher.h"

#include <deque>
#include <mutex>

#include "framework/framework.h"

namespace {

std::mutex g_lock;
std::vector<CaughtBox> g_boxes;
int g_open = 0;
HANDLE g_dismiss = nullptr;  // manual-reset: set while boxes should close at once
std::deque<HANDLE> g_waiting;  // one event per open box, oldest first
AFX_MESSAGEBOX_PROC g_previous = nullptr;

int WINAPI CatchBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    const HANDLE mine = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
        std::lock_guard<std::mutex> hold(g_lock);
        g_boxes.push_back(CaughtBox{owner, text ? text : L"", caption ? caption : L"", type, ::GetCurrentThreadId()});
        g_waiting.push_back(mine);
        ++g_open;
    }
    const HANDLE either[2] = {g_dismiss, mine};
    ::WaitForMultipleObjects(2, either, FALSE, 60000);
    std::lock_guard<std::mutex> hold(g_lock);
    for (auto it = g_waiting.begin(); it != g_waiting.end(); ++it) {
        if (*it == mine) {
            g_waiting.erase(it);
            break;
        }
    }
    ::CloseHandle(mine);
    --g_open;
    return IDOK;
}

}  // namespace

BoxCatcher::BoxCatcher() {
    std::lock_guard<std::mutex> hold(g_lock);
    g_boxes.clear();
    g_open = 0;
    g_dismiss = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_previous = AfxSetMessageBoxProc(&CatchBox);
}

BoxCatcher::~BoxCatcher() {
    ::SetEvent(g_dismiss);
    while (OpenBoxes() > 0) ::Sleep(5);
    AfxSetMessageBoxProc(g_previous);
    ::CloseHandle(g_dismiss);
    g_dismiss = nullptr;
}

std::vector<CaughtBox> BoxCatcher::Boxes() const {
    std::lock_guard<std::mutex> hold(g_lock);
    return g_boxes;
}

int BoxCatcher::OpenBoxes() const {
    std::lock_guard<std::mutex> hold(g_lock);
    return g_open;
}

bool BoxCatcher::WaitForBoxes(int count, DWORD timeoutMs) const {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (static_cast<int>(Boxes().size()) < count) {
        if (::GetTickCount64() > deadline) return false;
        ::Sleep(5);
    }
    return true;
}

void BoxCatcher::DismissAll() {
    ::SetEvent(g_dismiss);
    while (OpenBoxes() > 0) ::Sleep(5);
    ::ResetEvent(g_dismiss);
}

void BoxCatcher::DismissOldest() {
    int before = 0;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        if (g_waiting.empty()) return;
        ::SetEvent(g_waiting.front());
        before = g_open;
    }
    while (OpenBoxes() >= before) ::Sleep(5);
}
