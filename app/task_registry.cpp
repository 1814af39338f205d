#include "app/task_registry.h"

#include <mutex>
#include <vector>

#include "app/worker_tasks.h"

namespace {

struct RecordedTask {
    AFX_THREADPROC proc;
    DWORD threadId;
    HANDLE handle;        // our own duplicate: outlives the thread object
    CWinThread* thread;   // null once the task has said it is done
};

std::mutex g_lock;
std::vector<RecordedTask> g_tasks;

// Waits for one thread. Messages other threads send to this thread's windows
// are handled meanwhile (a task raising a box owned by the dialog sends it
// some), posted ones wait for the message loop.
bool WaitForThread(HANDLE handle, ULONGLONG deadline) {
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        const DWORD woke = ::MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0) return true;
        if (woke != WAIT_OBJECT_0 + 1) return false;
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

bool HasEnded(const RecordedTask& task) {
    if (task.handle == nullptr) return task.thread == nullptr;
    return ::WaitForSingleObject(task.handle, 0) == WAIT_OBJECT_0;
}

// Caller holds g_lock.
void DropEndedTasks() {
    for (auto it = g_tasks.begin(); it != g_tasks.end();) {
        if (HasEnded(*it)) {
            if (it->handle != nullptr) ::CloseHandle(it->handle);
            it = g_tasks.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace

CWinThread* StartRecordedTask(AFX_THREADPROC proc, LPVOID param, int priority) {
    std::unique_lock<std::mutex> hold(g_lock);
    DropEndedTasks();
    CWinThread* thread = AfxBeginThread(proc, param, priority, 0, CREATE_SUSPENDED);
    if (thread == nullptr) {
        g_pWorkerThread = nullptr;
        return nullptr;
    }
    // Without a duplicate the task is still recorded (so it can clear its own
    // record), it just cannot be waited for.
    HANDLE duplicate = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), thread->m_hThread, ::GetCurrentProcess(), &duplicate, SYNCHRONIZE,
                           FALSE, 0)) {
        duplicate = nullptr;
    }
    g_tasks.push_back(RecordedTask{proc, thread->m_nThreadID, duplicate, thread});
    g_pWorkerThread = thread;
    const HANDLE run = thread->m_hThread;
    hold.unlock();
    ::ResumeThread(run);
    return thread;
}

void ForgetFinishedTask() {
    std::lock_guard<std::mutex> hold(g_lock);
    const DWORD self = ::GetCurrentThreadId();
    for (auto& task : g_tasks) {
        if (task.threadId != self || task.thread == nullptr) continue;
        if (g_pWorkerThread == task.thread) g_pWorkerThread = nullptr;
        task.thread = nullptr;  // its object goes away when the procedure returns
    }
}

BOOL WaitForRecordedTasks(DWORD timeoutMs) {
    std::vector<HANDLE> handles;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        DropEndedTasks();
        for (const auto& task : g_tasks) {
            HANDLE copy = nullptr;
            if (task.handle != nullptr && ::DuplicateHandle(::GetCurrentProcess(), task.handle, ::GetCurrentProcess(), &copy, 0, FALSE,
                                  DUPLICATE_SAME_ACCESS)) {
                handles.push_back(copy);
            }
        }
    }
    // One deadline for all of them, however many there are.
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    BOOL allEnded = TRUE;
    for (HANDLE handle : handles) {
        if (!WaitForThread(handle, deadline)) allEnded = FALSE;
        ::CloseHandle(handle);
    }
    std::lock_guard<std::mutex> hold(g_lock);
    DropEndedTasks();
    return allEnded;
}

int RunningTaskCount() {
    std::lock_guard<std::mutex> hold(g_lock);
    DropEndedTasks();
    return static_cast<int>(g_tasks.size());
}

int RunningTaskCount(AFX_THREADPROC proc) {
    std::lock_guard<std::mutex> hold(g_lock);
    DropEndedTasks();
    int count = 0;
    for (const auto& task : g_tasks) count += (task.proc == proc);
    return count;
}
