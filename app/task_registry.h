#pragma once
// Keeps a handle of every background task the dialog starts, so that closing
// the dialog can wait for all of them, and keeps g_pWorkerThread truthful:
// it is set before the task may run and cleared only by the task it names.
#include "framework/framework.h"

// Starts `proc` suspended, records it, names it in g_pWorkerThread and then
// lets it run. Returns the thread object (valid only while the task runs),
// or null when no thread could be created; g_pWorkerThread is then null too.
CWinThread* StartRecordedTask(AFX_THREADPROC proc, LPVOID param, int priority);

// A task's last act: clears g_pWorkerThread when it still names this task.
void ForgetFinishedTask();

// Waits for every recorded task, at most `timeoutMs` in all. TRUE when all
// of them have ended; the ones still running stay recorded.
BOOL WaitForRecordedTasks(DWORD timeoutMs);

// Recorded tasks whose thread has not ended yet.
int RunningTaskCount();

// Recorded tasks of `proc` whose thread has not ended yet.
int RunningTaskCount(AFX_THREADPROC proc);
