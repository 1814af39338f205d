#include "app/single_instance.h"

#include "app/instance_name.h"

BOOL ClaimSingleInstance() {
    // The handle is never closed: the system releases the mutex when the
    // process ends, which is exactly the instance's lifetime.
    ::CreateMutexW(nullptr, TRUE, kSingleInstanceName);
    // Any other failure (the name taken by another kind of object, say)
    // lets this instance go on as the first.
    return ::GetLastError() != ERROR_ALREADY_EXISTS;
}

HWND FindRunningInstanceWindow() {
    HWND window = ::GetWindow(::GetDesktopWindow(), GW_CHILD);
    while (window != nullptr) {
        if (::GetPropW(window, kSingleInstanceName) != nullptr) return window;
        window = ::GetWindow(window, GW_HWNDNEXT);
    }
    return nullptr;
}

void BringToFront(HWND hWnd) {
    if (::IsIconic(hWnd)) ::ShowWindow(hWnd, SW_RESTORE);
    ::SetForegroundWindow(::GetLastActivePopup(hWnd));
}
