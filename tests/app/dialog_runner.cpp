#include "tests/app/dialog_runner.h"

#include <commctrl.h>

#include <atomic>
#include <mutex>
#include <sstream>

#include "app/update_messages.h"
#include "framework/framework.h"
#include "res/resource.h"

namespace {

constexpr UINT kFlushMarker = WM_APP + 50;

std::mutex g_lock;
std::vector<PostedMessage> g_messages;
HWND g_dialogWindow = nullptr;
std::atomic<WPARAM> g_lastMarkerSeen{0};
std::atomic<WPARAM> g_nextMarker{0};
std::atomic<int> g_escapeKeys{0};

bool IsPrivate(UINT message) {
    return message == WM_REFRESH_UI || message == WM_CHECK_RESULT || message == WM_SET_STATE ||
           message == WM_SET_PROGRESS || message == WM_APP + 3;
}

// Sees every message the dialog's loop takes out of the queue, in order.
LRESULT CALLBACK RecordPosted(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) ++g_escapeKeys;
        std::lock_guard<std::mutex> hold(g_lock);
        if (msg->hwnd != nullptr && msg->hwnd == g_dialogWindow) {
            if (IsPrivate(msg->message)) g_messages.push_back(PostedMessage{msg->message, msg->wParam});
            if (msg->message == kFlushMarker) g_lastMarkerSeen = msg->wParam;
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

const char* NameOf(UINT message) {
    switch (message) {
        case WM_REFRESH_UI: return "REFRESH";
        case WM_CHECK_RESULT: return "CHECK_RESULT";
        case WM_SET_STATE: return "SET_STATE";
        case WM_SET_PROGRESS: return "PROGRESS";
        default: return "OTHER";
    }
}

}  // namespace

std::string Describe(const std::vector<PostedMessage>& messages) {
    std::ostringstream text;
    for (const auto& m : messages) {
        text << NameOf(m.message);
        if (m.message != WM_REFRESH_UI) text << ' ' << static_cast<long>(static_cast<LONG_PTR>(m.wParam));
        text << "; ";
    }
    return text.str();
}

std::wstring ResourceText(UINT id) {
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

// Notes the dialog's window as soon as it gets WM_INITDIALOG.
LRESULT CALLBACK WatchInit(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG) {
        std::lock_guard<std::mutex> hold(g_lock);
        if (g_dialogWindow == nullptr) g_dialogWindow = call->hwnd;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

DialogRunner::DialogRunner()
    : m_finished(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    {
        std::lock_guard<std::mutex> hold(g_lock);
        g_messages.clear();
        g_dialogWindow = nullptr;
    }
    g_escapeKeys = 0;
    m_thread = std::thread([this] { Run(); });
    for (int i = 0; i < 2000 && m_hWnd == nullptr && !Finished(); ++i) {
        ::Sleep(10);
        std::lock_guard<std::mutex> hold(g_lock);
        m_hWnd = g_dialogWindow;
    }
    if (m_hWnd != nullptr) Flush();
}

DialogRunner::~DialogRunner() {
    if (!Finished() && m_hWnd != nullptr) {
        ShowState(STATE_NO_DEVICE);
        Post(WM_CLOSE);
    }
    if (m_thread.joinable()) m_thread.join();
    delete m_dialog;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        g_dialogWindow = nullptr;
    }
    ::CloseHandle(m_finished);
}

void DialogRunner::Run() {
    const HHOOK posted = ::SetWindowsHookExW(WH_GETMESSAGE, RecordPosted, nullptr, ::GetCurrentThreadId());
    const HHOOK init = ::SetWindowsHookExW(WH_CALLWNDPROC, WatchInit, nullptr, ::GetCurrentThreadId());
    m_dialog = new CKR52xBriselUpdateDlg;
    AfxGetApp()->m_pMainWnd = m_dialog;
    m_result = m_dialog->DoModal();
    AfxGetApp()->m_pMainWnd = nullptr;
    ::UnhookWindowsHookEx(init);
    ::UnhookWindowsHookEx(posted);
    ::SetEvent(m_finished);
    // The object stays until the runner goes, so late reads stay harmless.
}

void DialogRunner::Flush() {
    if (Finished()) return;
    const WPARAM marker = ++g_nextMarker;
    Post(kFlushMarker, marker);
    for (int i = 0; i < 3000 && g_lastMarkerSeen < marker && !Finished(); ++i) ::Sleep(5);
}

bool DialogRunner::WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        Flush();
        if (done()) return true;
        if (::GetTickCount64() > deadline) return false;
        ::Sleep(10);
    }
}

std::vector<PostedMessage> DialogRunner::Messages() const {
    std::lock_guard<std::mutex> hold(g_lock);
    return g_messages;
}

void DialogRunner::ClearMessages() {
    std::lock_guard<std::mutex> hold(g_lock);
    g_messages.clear();
}

int DialogRunner::EscapeKeysSeen() const { return g_escapeKeys; }

void DialogRunner::ShowState(int state) {
    Post(WM_SET_STATE, static_cast<WPARAM>(state));
    Post(WM_REFRESH_UI);
    Flush();
}

void DialogRunner::ClickStart() {
    Post(WM_COMMAND, MAKEWPARAM(IDC_START_UPDATE, BN_CLICKED),
         reinterpret_cast<LPARAM>(::GetDlgItem(m_hWnd, IDC_START_UPDATE)));
}

UINT DialogRunner::CloseMenuState() const {
    return ::GetMenuState(::GetSystemMenu(m_hWnd, FALSE), SC_CLOSE, MF_BYCOMMAND);
}

bool DialogRunner::CloseEnabled() const { return (CloseMenuState() & (MF_GRAYED | MF_DISABLED)) == 0; }

bool DialogRunner::ButtonEnabled() const { return ::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_START_UPDATE)) != FALSE; }

std::wstring DialogRunner::ControlText(int id) const {
    const HWND control = ::GetDlgItem(m_hWnd, id);
    const int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(control, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

int DialogRunner::BarPosition() const {
    return static_cast<int>(::SendMessageW(::GetDlgItem(m_hWnd, IDC_PROGRESS), PBM_GETPOS, 0, 0));
}
