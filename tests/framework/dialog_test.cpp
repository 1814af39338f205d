// CDialog under Wine with a real window: the modal loop, its end, data
// exchange and message routing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "tests/framework/probe_dialog.h"
#include "tests/framework/test_app.h"

namespace {

using Log = std::vector<std::wstring>;

class DialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&controls);
    }
};

HWND Item(const CWnd& dialog, int id) { return ::GetDlgItem(dialog.m_hWnd, id); }

std::wstring TextOf(HWND window) {
    wchar_t buffer[256] = {};
    ::GetWindowTextW(window, buffer, 256);
    return buffer;
}

// Handles whatever is still queued for this thread.
void DrainQueue() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

}  // namespace

TEST_F(DialogTest, DestroyWindowRunsAfterTheLoopHasEndedWhileTheWindowStillExists) {
    ProbeDialog dialog;
    dialog.m_destroyDelayMs = 50;
    dialog.m_script = [](ProbeDialog& d) { d.PostMessage(WM_PROBE_END, 42); };
    EXPECT_EQ(dialog.DoModal(), 42);

    EXPECT_EQ(dialog.m_atDestroy.calls, 1);
    EXPECT_EQ(dialog.m_atDestroy.handlerDepth, 0) << "DestroyWindow ran inside a message handler";
    EXPECT_TRUE(dialog.m_atDestroy.endHandlerHadReturned) << "DestroyWindow ran from inside EndDialog";
    EXPECT_TRUE(dialog.m_atDestroy.windowExisted) << "the window was gone before DestroyWindow";
    EXPECT_FALSE(dialog.m_atDestroy.windowVisible) << "the ended dialog stays on screen while waiting";
    EXPECT_EQ(dialog.m_log, (Log{L"init", L"end-requested"}));

    // Afterwards the object is let go entirely.
    ASSERT_NE(dialog.m_lastHwnd, nullptr);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_FALSE(::IsWindow(dialog.m_lastHwnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(dialog.m_lastHwnd), nullptr);
    EXPECT_EQ(dialog.m_progress.m_hWnd, nullptr) << "bound controls went with their dialog";
    EXPECT_EQ(dialog.m_button.m_hWnd, nullptr);
    DrainQueue();
    EXPECT_EQ(dialog.m_log.size(), 2u) << "a message reached the object after its window was destroyed";
}

TEST_F(DialogTest, UpdateDataMovesMembersIntoControlsAndBack) {
    struct Seen {
        std::wstring editAtInit, labelAfterUpdate;
        HWND progressBound = nullptr, progressItem = nullptr, buttonBound = nullptr, buttonItem = nullptr;
        HWND progressRebound = nullptr;
        int pos = -1, previousPos = -1, low = -1, high = -1;
        std::wstring readBack;
    } seen;
    ProbeDialog dialog;
    dialog.m_text = L"初期テキスト";
    dialog.m_script = [&seen](ProbeDialog& d) {
        // CDialog::OnInitDialog has already run UpdateData(FALSE).
        seen.editAtInit = TextOf(Item(d, IDC_PROBE_EDIT));
        seen.progressBound = d.m_progress.m_hWnd;
        seen.progressItem = Item(d, IDC_PROBE_PROGRESS);
        seen.buttonBound = d.m_button.m_hWnd;
        seen.buttonItem = Item(d, IDC_PROBE_BUTTON);

        d.m_label = L"状態: 更新";
        d.UpdateData(FALSE);
        seen.labelAfterUpdate = TextOf(Item(d, IDC_PROBE_LABEL));
        seen.progressRebound = d.m_progress.m_hWnd;

        d.m_progress.SetPos(40);
        seen.pos = static_cast<int>(::SendMessageW(Item(d, IDC_PROBE_PROGRESS), PBM_GETPOS, 0, 0));
        seen.previousPos = d.m_progress.SetPos(70);
        d.m_progress.GetRange(seen.low, seen.high);

        ::SetWindowTextW(Item(d, IDC_PROBE_EDIT), L"入力");
        d.UpdateData(TRUE);
        seen.readBack = d.m_text.GetString() ? std::wstring(static_cast<const wchar_t*>(d.m_text)) : L"";
        d.EndDialog(IDOK);  // ending before the loop has even started
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(seen.editAtInit, L"初期テキスト");
    EXPECT_EQ(seen.labelAfterUpdate, L"状態: 更新");
    EXPECT_NE(seen.progressItem, nullptr);
    EXPECT_EQ(seen.progressBound, seen.progressItem);
    EXPECT_EQ(seen.buttonBound, seen.buttonItem);
    EXPECT_EQ(seen.progressRebound, seen.progressItem) << "bound once, kept";
    EXPECT_EQ(seen.pos, 40);
    EXPECT_EQ(seen.previousPos, 40);
    EXPECT_EQ(seen.low, 0);
    EXPECT_EQ(seen.high, 100);
    EXPECT_EQ(seen.readBack, L"入力");
}

TEST_F(DialogTest, MessagesRouteThroughTheDerivedMapBeforeTheBaseMap) {
    DerivedProbeDialog dialog;
    LRESULT sentResult = 0;
    LRESULT dragIcon = 0;
    dialog.m_script = [&](ProbeDialog& d) {
        sentResult = d.SendMessage(WM_PROBE_ONE, 6, 7);
        dragIcon = d.SendMessage(WM_QUERYDRAGICON);
        d.PostMessage(WM_PROBE_ONE, 3, 4);
        d.PostMessage(WM_PROBE_TWO, 5, 6);
        d.PostMessage(WM_PROBE_NONE, 8, 9);
        ::PostMessageW(d.m_button.m_hWnd, BM_CLICK, 0, 0);
        d.PostMessage(WM_PROBE_END, 77);
    };
    EXPECT_EQ(dialog.DoModal(), 77);
    EXPECT_EQ(sentResult, 42) << "the handler's result is the message's result";
    EXPECT_EQ(dragIcon, 0x5A5A);
    EXPECT_EQ(dialog.m_log, (Log{L"init", L"derived-one 6 7", L"derived-one 3 4", L"base-two 5 6",
                                 L"derived-press", L"end-requested"}));
}

TEST_F(DialogTest, BaseMapAloneHandlesItsEntries) {
    ProbeDialog dialog;
    dialog.m_script = [](ProbeDialog& d) {
        d.PostMessage(WM_PROBE_ONE, 3, 4);
        ::PostMessageW(d.m_button.m_hWnd, BM_CLICK, 0, 0);
        d.PostMessage(WM_PROBE_END, 5);
    };
    EXPECT_EQ(dialog.DoModal(), 5);
    EXPECT_EQ(dialog.m_log, (Log{L"init", L"base-one 3 4", L"base-press", L"end-requested"}));
}

TEST_F(DialogTest, EnterAndEscapeReachOnOKAndOnCancel) {
    struct Case {
        WPARAM key;
        LPARAM keyData;
        INT_PTR result;
        const wchar_t* handler;
    };
    const Case cases[] = {
        {VK_RETURN, 0x001C0001, IDOK, L"OnOK"},
        {VK_ESCAPE, 0x00010001, IDCANCEL, L"OnCancel"},
    };
    for (const Case& c : cases) {
        ProbeDialog dialog;
        dialog.m_script = [&c](ProbeDialog& d) {
            HWND edit = Item(d, IDC_PROBE_EDIT);
            ::SetFocus(edit);
            ::PostMessageW(edit, WM_KEYDOWN, c.key, c.keyData);
            ::PostMessageW(edit, WM_KEYUP, c.key, c.keyData | 0xC0000000);
        };
        EXPECT_EQ(dialog.DoModal(), c.result) << c.handler;
        EXPECT_EQ(dialog.m_log, (Log{L"init", c.handler}));
    }
}

TEST_F(DialogTest, TabMovesToTheNextTabStop) {
    ProbeDialog dialog;
    HWND focused = nullptr, second = nullptr;
    dialog.m_script = [&](ProbeDialog& d) {
        HWND edit = Item(d, IDC_PROBE_EDIT);
        second = Item(d, IDC_PROBE_SECOND_EDIT);
        ::SetFocus(edit);
        ::PostMessageW(edit, WM_KEYDOWN, VK_TAB, 0x000F0001);
        d.m_later = [&](ProbeDialog& d2) {
            focused = ::GetFocus();
            d2.EndDialog(IDOK);
        };
        d.PostMessage(WM_PROBE_RUN);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(focused, second);
}

TEST_F(DialogTest, CloseReachesOnCancel) {
    ProbeDialog dialog;
    dialog.m_script = [](ProbeDialog& d) { d.PostMessage(WM_CLOSE); };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_log, (Log{L"init", L"OnCancel"}));
}

TEST_F(DialogTest, GrayedCloseItemKeepsTheWindowOpen) {
    ProbeDialog dialog;
    UINT stateWhileGrayed = 0;
    dialog.m_script = [&](ProbeDialog& d) {
        CMenu* menu = d.GetSystemMenu(FALSE);
        ASSERT_NE(menu, nullptr);
        menu->EnableMenuItem(SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
        stateWhileGrayed = d.GetSystemMenu(FALSE)->GetMenuState(SC_CLOSE, MF_BYCOMMAND);
        d.PostMessage(WM_SYSCOMMAND, SC_CLOSE);
        d.PostMessage(WM_SYSKEYDOWN, VK_F4, 0x203E0001);  // Alt+F4
        d.m_later = [](ProbeDialog& d2) {
            d2.m_log.push_back(L"enable");
            d2.GetSystemMenu(FALSE)->EnableMenuItem(SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
            d2.PostMessage(WM_SYSCOMMAND, SC_CLOSE);
        };
        d.PostMessage(WM_PROBE_RUN);
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_NE(stateWhileGrayed & MF_GRAYED, 0u);
    EXPECT_EQ(dialog.m_log, (Log{L"init", L"enable", L"OnCancel"}));
}

TEST_F(DialogTest, UnhandledCommandsGoOnToTheApplication) {
    const int before = TheTestApp().m_commandCount;
    ProbeDialog dialog;
    dialog.m_script = [](ProbeDialog& d) {
        d.PostMessage(WM_COMMAND, MAKEWPARAM(kTestAppCommand, 0));  // menu
        d.PostMessage(WM_COMMAND, MAKEWPARAM(kTestAppCommand, 1));  // accelerator
        // A control's notification with another code is no command.
        d.PostMessage(WM_COMMAND, MAKEWPARAM(kTestAppCommand, EN_CHANGE),
                      reinterpret_cast<LPARAM>(Item(d, IDC_PROBE_EDIT)));
        d.PostMessage(WM_PROBE_END, 1);
    };
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(TheTestApp().m_commandCount, before + 2);
}

TEST_F(DialogTest, PaintHandlerCanLeaveTheRestToDefault) {
    for (bool withDC : {false, true}) {
    ProbeDialog dialog;
    dialog.m_paintWithDC = withDC;
    dialog.m_script = [](ProbeDialog& d) {
        d.m_later = [](ProbeDialog& d2) {
            d2.InvalidateRect(nullptr, TRUE);
            ::UpdateWindow(d2.m_hWnd);
            d2.EndDialog(IDOK);
        };
        d.PostMessage(WM_PROBE_RUN);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_FALSE(dialog.m_paints.empty());
    for (const auto& paint : dialog.m_paints) EXPECT_EQ(paint, L"painted") << (withDC ? "CPaintDC" : "Default");
    if (withDC) EXPECT_NE(dialog.m_paintDC, nullptr);
    }
}

TEST_F(DialogTest, DialogIsCentredOnTheWorkArea) {
    ProbeDialog dialog;
    RECT window{}, work{};
    dialog.m_script = [&](ProbeDialog& d) {
        d.GetWindowRect(&window);
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        ::GetMonitorInfoW(::MonitorFromWindow(d.m_hWnd, MONITOR_DEFAULTTOPRIMARY), &info);
        work = info.rcWork;
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    const int dx = (window.left - work.left) - (work.right - window.right);
    const int dy = (window.top - work.top) - (work.bottom - window.bottom);
    EXPECT_LE(std::abs(dx), 1);
    EXPECT_LE(std::abs(dy), 1);
    EXPECT_GT(window.left, work.left);
}

TEST_F(DialogTest, MissingTemplateGivesMinusOne) {
    ProbeDialog dialog(IDD_MISSING);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_TRUE(dialog.m_log.empty());
    EXPECT_EQ(dialog.m_atDestroy.calls, 0);
}

TEST_F(DialogTest, GetDlgItemGivesBoundOrTemporaryObjects) {
    ProbeDialog dialog;
    CWnd* progress = nullptr;
    CWnd* edit = nullptr;
    CWnd* editAgain = nullptr;
    CWnd* none = reinterpret_cast<CWnd*>(1);
    dialog.m_script = [&](ProbeDialog& d) {
        progress = d.GetDlgItem(IDC_PROBE_PROGRESS);
        edit = d.GetDlgItem(IDC_PROBE_EDIT);
        editAgain = d.GetDlgItem(IDC_PROBE_EDIT);
        none = d.GetDlgItem(4711);
        if (edit) edit->SetWindowText(L"via item");
        if (edit) d.m_log.push_back(std::wstring(edit->GetWindowText()));
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(progress, &dialog.m_progress);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit, editAgain);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(dialog.m_log, (Log{L"init", L"via item"}));
}

TEST_F(DialogTest, EndDialogFromAnotherThreadWakesTheLoop) {
    ProbeDialog dialog;
    std::thread ender;
    dialog.m_script = [&ender](ProbeDialog& d) {
        ender = std::thread([&d] {
            ::Sleep(100);  // the loop is idle in GetMessage by now
            d.EndDialog(9);
        });
    };
    EXPECT_EQ(dialog.DoModal(), 9);
    ender.join();
    EXPECT_EQ(dialog.m_atDestroy.calls, 1);
}

TEST_F(DialogTest, WindowDestroyedUnderTheLoopEndsIt) {
    ProbeDialog dialog;
    dialog.m_script = [](ProbeDialog& d) {
        d.m_later = [](ProbeDialog& d2) { ::DestroyWindow(d2.m_hWnd); };
        d.PostMessage(WM_PROBE_RUN);
    };
    EXPECT_EQ(dialog.DoModal(), -1) << "no result was given";
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.m_atDestroy.calls, 1) << "DestroyWindow still runs, so an override can clean up";
    EXPECT_FALSE(dialog.m_atDestroy.windowExisted);
}

TEST_F(DialogTest, MainWindowPointerIsClearedWhenItsWindowGoes) {
    ProbeDialog dialog;
    CWnd* mainAtInit = nullptr;
    TheTestApp().m_pMainWnd = &dialog;
    dialog.m_script = [&mainAtInit](ProbeDialog& d) {
        mainAtInit = AfxGetMainWnd();
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(mainAtInit, &dialog);
    EXPECT_EQ(TheTestApp().m_pMainWnd, nullptr) << "a destroyed main window must not stay the main window";
}

namespace {
struct FoundBox {
    HWND box = nullptr;
    HWND owner = nullptr;
    DWORD threadId = 0;
    std::wstring caption;
};

BOOL CALLBACK FindOurMessageBox(HWND window, LPARAM param) {
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    DWORD process = 0;
    const DWORD thread = ::GetWindowThreadProcessId(window, &process);
    if (std::wstring(className) != L"#32770" || process != ::GetCurrentProcessId() || !::IsWindowVisible(window))
        return TRUE;
    auto* found = reinterpret_cast<FoundBox*>(param);
    if (found->threadId != 0 && thread != found->threadId) return TRUE;
    found->box = window;
    found->owner = ::GetWindow(window, GW_OWNER);
    wchar_t caption[128] = {};
    ::GetWindowTextW(window, caption, 128);
    found->caption = caption;
    return FALSE;
}
}  // namespace

// The way the program reports a failed update: a real box raised on a worker
// thread, owned by the dialog that the GUI thread keeps running.
TEST_F(DialogTest, RealMessageBoxFromAWorkerIsOwnedByTheMainWindow) {
    TheTestApp().m_useBaseMessageBox = true;
    ProbeDialog dialog;
    TheTestApp().m_pMainWnd = &dialog;
    FoundBox found;
    int boxResult = 0;
    std::thread worker;
    dialog.m_script = [&](ProbeDialog& d) {
        worker = std::thread([&] {
            found.threadId = ::GetCurrentThreadId();
            std::thread closer([&] {
                // Generous deadline: the box only has to appear at all.
                for (int i = 0; i < 1000 && found.box == nullptr; ++i) {
                    ::EnumWindows(&FindOurMessageBox, reinterpret_cast<LPARAM>(&found));
                    if (found.box == nullptr) ::Sleep(10);
                }
                if (found.box != nullptr) ::PostMessageW(found.box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            });
            boxResult = AfxMessageBox(L"更新に失敗しました", MB_OK | MB_ICONEXCLAMATION);
            closer.join();
            d.PostMessage(WM_PROBE_END, 3);
        });
    };
    EXPECT_EQ(dialog.DoModal(), 3);
    worker.join();
    TheTestApp().m_useBaseMessageBox = false;
    TheTestApp().TakeCalls();
    ASSERT_NE(found.box, nullptr) << "no message box appeared";
    EXPECT_EQ(found.owner, dialog.m_lastHwnd);
    EXPECT_EQ(found.caption, std::wstring(TheTestApp().m_pszAppName));
    EXPECT_EQ(boxResult, IDOK);
}

TEST_F(DialogTest, WindowOperationsReachTheWindow) {
    ProbeDialog dialog;
    HICON icon = ::LoadIconW(nullptr, MAKEINTRESOURCEW(32516));
    struct {
        HICON big = nullptr, small = nullptr;
        BOOL enabledAfter = TRUE, iconic = TRUE;
        RECT client{};
        std::wstring caption;
    } seen;
    dialog.m_script = [&](ProbeDialog& d) {
        d.SetIcon(icon, TRUE);
        d.SetIcon(icon, FALSE);
        seen.big = d.GetIcon(TRUE);
        seen.small = d.GetIcon(FALSE);
        d.m_button.EnableWindow(FALSE);
        seen.enabledAfter = d.m_button.IsWindowEnabled();
        seen.iconic = d.IsIconic();
        d.GetClientRect(&seen.client);
        d.SetWindowText(L"題名");
        seen.caption = static_cast<const wchar_t*>(d.GetWindowText());
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(seen.big, icon);
    EXPECT_EQ(seen.small, icon);
    EXPECT_FALSE(seen.enabledAfter);
    EXPECT_FALSE(seen.iconic);
    EXPECT_GT(seen.client.right, 0);
    EXPECT_GT(seen.client.bottom, 0);
    EXPECT_EQ(seen.caption, L"題名");
}

TEST_F(DialogTest, DialogWithoutParentIsOwnedByTheMainWindow) {
    ProbeDialog outer;
    HWND innerOwner = reinterpret_cast<HWND>(1);
    INT_PTR innerResult = 0;
    TheTestApp().m_pMainWnd = &outer;
    outer.m_script = [&](ProbeDialog& d) {
        d.m_later = [&](ProbeDialog& d2) {
            ProbeDialog inner;
            inner.m_script = [&](ProbeDialog& i) {
                innerOwner = ::GetWindow(i.m_hWnd, GW_OWNER);
                i.EndDialog(IDCANCEL);
            };
            innerResult = inner.DoModal();
            d2.EndDialog(IDOK);
        };
        d.PostMessage(WM_PROBE_RUN);
    };
    EXPECT_EQ(outer.DoModal(), IDOK);
    EXPECT_EQ(innerResult, IDCANCEL);
    EXPECT_EQ(innerOwner, outer.m_lastHwnd);
    EXPECT_EQ(TheTestApp().m_pMainWnd, nullptr);
}
