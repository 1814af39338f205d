#pragma once
// One running program per logged-on user.
#include "framework/platform_headers.h"

// Creates (and keeps, for the life of the process) the named mutex. FALSE
// when another instance holds it already.
BOOL ClaimSingleInstance();

// The first top-level window, in Z order, that carries the instance
// property; null when there is none.
HWND FindRunningInstanceWindow();

// Restores a minimised window and brings it, or its last active popup such
// as an open message box, to the front.
void BringToFront(HWND hWnd);
