#pragma once
// Worker threads started with AfxBeginThread.
#include "framework/cmd_target.h"

typedef UINT (*AFX_THREADPROC)(LPVOID);

class CWinThread : public CCmdTarget {
public:
    CWinThread() = default;
    ~CWinThread() override;  // closes m_hThread

    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    BOOL m_bAutoDelete = TRUE;  // delete the object when the procedure returns

    operator HANDLE() const { return m_hThread; }
    DWORD ResumeThread();
    DWORD SuspendThread();
    int GetThreadPriority() const;
    BOOL SetThreadPriority(int nPriority);

private:
    friend CWinThread* AfxBeginThread(AFX_THREADPROC, LPVOID, int, UINT, DWORD, LPSECURITY_ATTRIBUTES);
    static unsigned __stdcall ThreadEntry(void* pThread);

    AFX_THREADPROC m_pfnThreadProc = nullptr;
    LPVOID m_pThreadParams = nullptr;
};

// Creates the thread suspended, sets its priority and lets it run unless the
// caller asked for CREATE_SUSPENDED; returns its object, or null when no thread
// could be created. With m_bAutoDelete TRUE the object may already be gone by
// the time the caller looks at the returned pointer, if the procedure is short.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
