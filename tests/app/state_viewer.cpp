// Shows the update dialog in one of its eight states against a fake printer,
// for screenshots: lmx_state_viewer <state> <ready-file>. Once the state is
// on screen it writes the rectangle to capture ("x y width height") into the
// ready file, then stays until it is ended (at most two minutes).
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "framework/platform_headers.h"

#include <dbt.h>

#include "app/task_registry.h"
#include "app/update_dialog.h"
#include "app/update_messages.h"
#include "app/updater_app.h"
#include "res/resource.h"
#include "tests/app/fake_printer.h"

namespace {

CKR52xBriselUpdateApp g_viewerApplication;

bool StateReached(CKR52xBriselUpdateDlg& dialog, UpdateState state, HWND hWnd) {
    // A flush: what was posted before is handled once this returns.
    ::SendMessageW(hWnd, WM_NULL, 0, 0);
    return dialog.GetState() == state;
}

void WaitFor(CKR52xBriselUpdateDlg& dialog, HWND hWnd, UpdateState state) {
    for (int i = 0; i < 1000 && !StateReached(dialog, state, hWnd); ++i) ::Sleep(10);
    ::Sleep(300);
}

RECT CaptureRect(HWND dialog) {
    RECT area = {};
    ::GetWindowRect(dialog, &area);
    const HWND popup = ::GetLastActivePopup(dialog);
    if (popup != nullptr && popup != dialog) {
        RECT box = {};
        ::GetWindowRect(popup, &box);
        ::UnionRect(&area, &area, &box);
    }
    return area;
}

void Drive(int state, const char* readyFile, CKR52xBriselUpdateDlg* dialog, FakePrinterState* printer) {
    HWND hWnd = nullptr;
    for (int i = 0; i < 1000 && hWnd == nullptr; ++i) {
        ::Sleep(10);
        hWnd = dialog->GetSafeHwnd();
    }
    if (hWnd == nullptr) return;
    WaitForRecordedTasks(10000);
    // The button takes presses only once the check has found the update needed.
    if (state >= STATE_UPDATING) WaitFor(*dialog, hWnd, STATE_UPDATE_AVAILABLE);
    switch (state) {
        case STATE_CHECKING:
            // Held at its second open, between "checking" and the answer.
            ::SendMessageW(hWnd, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
            break;
        case STATE_UPDATING:
            ::PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(IDC_START_UPDATE, BN_CLICKED), 0);
            break;
        case STATE_WAIT_DISCONNECT:
        case STATE_COMPLETED:
        case STATE_FAILED:
            ::PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(IDC_START_UPDATE, BN_CLICKED), 0);
            break;
        default:
            break;
    }
    if (state == STATE_COMPLETED) {
        WaitFor(*dialog, hWnd, STATE_WAIT_DISCONNECT);
        printer->present = false;
        ::SendMessageW(hWnd, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    }
    // State 7 reads as 0 once shown; its box is what shows it.
    const UpdateState shown = state == STATE_FAILED ? STATE_NO_DEVICE : static_cast<UpdateState>(state);
    WaitFor(*dialog, hWnd, shown);
    if (state == STATE_FAILED) {
        for (int i = 0; i < 500 && ::GetLastActivePopup(hWnd) == hWnd; ++i) ::Sleep(10);
        ::Sleep(500);
    }
    const RECT area = CaptureRect(hWnd);
    if (FILE* ready = std::fopen(readyFile, "w")) {
        std::fprintf(ready, "%ld %ld %ld %ld\n", area.left, area.top, area.right - area.left, area.bottom - area.top);
        std::fclose(ready);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc < 3) return 2;
    const int state = std::atoi(__argv[1]);
    if (state < 0 || state > 7) return 2;
    g_viewerApplication.m_hInstance = instance;
    INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    ScopedFakePrinter printer;
    printer.state.present = state != STATE_NO_DEVICE;
    printer.state.model = MODEL_A;
    printer.state.version = state == STATE_UP_TO_DATE ? 0x2600 : 0x1000;
    if (state == STATE_CHECKING) {
        // The first check runs through; the second stops at its second open.
        printer.state.gateFromOpen = 4;
        printer.state.HoldOpens();
    }
    if (state == STATE_UPDATING) {
        printer.state.gateFromOpen = 3;  // the update's own open
        printer.state.HoldOpens();
    }
    if (state == STATE_FAILED) printer.state.failAtWrite = 4;

    CKR52xBriselUpdateDlg dialog;
    g_viewerApplication.m_pMainWnd = &dialog;
    std::thread driver(Drive, state, __argv[2], &dialog, &printer.state);
    driver.detach();
    std::thread([] {
        ::Sleep(120000);
        ::ExitProcess(0);
    }).detach();
    dialog.DoModal();
    ::ExitProcess(0);
}
