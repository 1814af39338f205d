#pragma once
// Runs the update dialog modally on a GUI thread of its own, as the
// application does, and lets the test thread drive and read it. Every
// private message that reaches the dialog is recorded in order.
#include "framework/platform_headers.h"

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/update_dialog.h"

struct PostedMessage {
    UINT message;
    WPARAM wParam;
    bool operator==(const PostedMessage& other) const {
        return message == other.message && wParam == other.wParam;
    }
};

std::string Describe(const std::vector<PostedMessage>& messages);

class DialogRunner {
public:
    DialogRunner();
    ~DialogRunner();
    DialogRunner(const DialogRunner&) = delete;
    DialogRunner& operator=(const DialogRunner&) = delete;

    HWND Hwnd() const { return m_hWnd; }
    CKR52xBriselUpdateDlg& Dialog() { return *m_dialog; }

    // Returns once everything posted to the dialog before has been handled.
    void Flush();
    // Polls `done` (after a flush each time) for up to `timeoutMs`.
    bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

    std::vector<PostedMessage> Messages() const;
    void ClearMessages();

    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { ::PostMessageW(m_hWnd, message, wParam, lParam); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return ::SendMessageW(m_hWnd, message, wParam, lParam); }
    // Shows state s as the update task would: WM_SET_STATE s, WM_REFRESH_UI.
    void ShowState(int state);
    void ClickStart();
    int EscapeKeysSeen() const;  // WM_KEYDOWN VK_ESCAPE taken by the dialog's thread

    // What the dialog shows.
    UINT CloseMenuState() const;  // MF_GRAYED etc. of SC_CLOSE in the system menu
    bool CloseEnabled() const;
    bool ButtonEnabled() const;
    std::wstring ControlText(int id) const;
    int BarPosition() const;
    int State() { Flush(); return m_dialog->GetState(); }

    bool Finished() const { return ::WaitForSingleObject(m_finished, 0) == WAIT_OBJECT_0; }
    bool WaitFinished(DWORD timeoutMs) const { return ::WaitForSingleObject(m_finished, timeoutMs) == WAIT_OBJECT_0; }
    INT_PTR Result() const { return m_result; }

private:
    void Run();

    CKR52xBriselUpdateDlg* m_dialog = nullptr;
    HWND m_hWnd = nullptr;
    INT_PTR m_result = 0;
    HANDLE m_finished;
    std::thread m_thread;
};

// The text of a string-table entry of this program.
std::wstring ResourceText(UINT id);
