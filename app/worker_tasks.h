#pragma once
// The two background tasks the dialog starts. Neither touches the dialog:
// they report through their observers' posted messages only.
#include "framework/framework.h"

// The most recently started task, or null. Set by the dialog when it starts
// one, cleared by that task as its last act (see task_registry.h).
extern CWinThread* g_pWorkerThread;

// Parameter: the dialog window object. Is a printer there, and does its
// firmware need the update?
UINT ConnectionCheckThread(LPVOID pParam);

// Parameter unused. Writes the firmware, reporting to the application's main
// window, and shows the failure box when it did not succeed.
UINT UpdateThread(LPVOID pParam);
