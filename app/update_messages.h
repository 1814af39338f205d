#pragma once
// The private messages through which the background tasks talk to the update
// dialog, and the dialog's display state. Every one is posted with lParam 0.
#include "framework/platform_headers.h"

constexpr UINT WM_REFRESH_UI = WM_APP + 1;    // show the current state
constexpr UINT WM_CHECK_RESULT = WM_APP + 2;  // wParam: a CHECK_* code
// WM_APP + 3 is deliberately unused.
constexpr UINT WM_SET_STATE = WM_APP + 4;     // wParam: an UpdateState, shown at the next refresh
constexpr UINT WM_SET_PROGRESS = WM_APP + 5;  // wParam: a progress-bar position

using UpdateState = unsigned char;

constexpr UpdateState STATE_NO_DEVICE = 0;
constexpr UpdateState STATE_CHECKING = 1;
constexpr UpdateState STATE_UPDATE_AVAILABLE = 2;
constexpr UpdateState STATE_UP_TO_DATE = 3;
constexpr UpdateState STATE_UPDATING = 4;
constexpr UpdateState STATE_WAIT_DISCONNECT = 5;
constexpr UpdateState STATE_COMPLETED = 6;
constexpr UpdateState STATE_FAILED = 7;
