// Worker threads: start suspended, set the priority, then let them run; an
// auto-deleting thread object goes away on its own thread once the
// procedure has returned.
#include "framework/win_thread.h"

#include <process.h>

CWinThread::~CWinThread() {
    if (m_hThread != nullptr) ::CloseHandle(m_hThread);
}

DWORD CWinThread::ResumeThread() { return ::ResumeThread(m_hThread); }
DWORD CWinThread::SuspendThread() { return ::SuspendThread(m_hThread); }
int CWinThread::GetThreadPriority() const { return ::GetThreadPriority(m_hThread); }
BOOL CWinThread::SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }

unsigned __stdcall CWinThread::ThreadEntry(void* pThread) {
    auto* thread = static_cast<CWinThread*>(pThread);
    const UINT exitCode = thread->m_pfnThreadProc(thread->m_pThreadParams);
    // Read the flag only now: the starter may have changed it while the
    // thread was still suspended.
    if (thread->m_bAutoDelete) delete thread;
    return exitCode;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
    if (pfnThreadProc == nullptr) return nullptr;
    auto* thread = new CWinThread();
    thread->m_pfnThreadProc = pfnThreadProc;
    thread->m_pThreadParams = pParam;
    unsigned threadId = 0;
    const uintptr_t handle = ::_beginthreadex(lpSecurityAttrs, nStackSize, &CWinThread::ThreadEntry, thread,
                                              dwCreateFlags | CREATE_SUSPENDED, &threadId);
    if (handle == 0) {
        delete thread;
        return nullptr;
    }
    thread->m_hThread = reinterpret_cast<HANDLE>(handle);
    thread->m_nThreadID = threadId;
    ::SetThreadPriority(thread->m_hThread, nPriority);
    // Once resumed, a short procedure may end and delete the object at any
    // moment, so nothing touches it after this point.
    if ((dwCreateFlags & CREATE_SUSPENDED) == 0) ::ResumeThread(reinterpret_cast<HANDLE>(handle));
    return thread;
}
