#include "app/task_observers.h"

#include "app/update_messages.h"
#include "logic/device_info.h"

namespace {
// A post that fails (the window is gone) is simply lost.
void Post(HWND hWnd, UINT message, WPARAM wParam) { ::PostMessageW(hWnd, message, wParam, 0); }
}  // namespace

void CConnectionObserver::OnStart() { Post(m_hWnd, WM_CHECK_RESULT, CHECK_CHECKING); }

void CConnectionObserver::OnProgress(int) {}

void CConnectionObserver::OnFinish(int result) { Post(m_hWnd, WM_CHECK_RESULT, static_cast<WPARAM>(result)); }

int UpdateProgressPosition(int percent) { return percent * 50 / 100 + 10; }

void CUpdateObserver::OnStart() {
    Post(m_hWnd, WM_SET_STATE, STATE_UPDATING);
    Post(m_hWnd, WM_SET_PROGRESS, 10);
    Post(m_hWnd, WM_REFRESH_UI, 0);
}

void CUpdateObserver::OnProgress(int percent) {
    Post(m_hWnd, WM_SET_PROGRESS, static_cast<WPARAM>(UpdateProgressPosition(percent)));
}

void CUpdateObserver::OnFinish(int result) {
    if (result == 1) {
        Post(m_hWnd, WM_SET_PROGRESS, 60);
        Post(m_hWnd, WM_SET_STATE, STATE_WAIT_DISCONNECT);
    } else {
        Post(m_hWnd, WM_SET_STATE, STATE_FAILED);
    }
    Post(m_hWnd, WM_REFRESH_UI, 0);
}
