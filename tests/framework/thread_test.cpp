// AfxBeginThread: suspended start, priority, auto-deletion.
#include <gtest/gtest.h>

#include <atomic>

#include "framework/framework.h"

namespace {

struct Probe {
    HANDLE started = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> priority{-100};
    std::atomic<int> runs{0};
    UINT result = 0;
    ~Probe() { ::CloseHandle(started); }
};

UINT RecordingProc(LPVOID param) {
    auto* probe = static_cast<Probe*>(param);
    probe->priority = ::GetThreadPriority(::GetCurrentThread());
    ++probe->runs;
    ::SetEvent(probe->started);
    return probe->result;
}

HANDLE DuplicateOf(HANDLE handle) {
    HANDLE copy = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), handle, ::GetCurrentProcess(), &copy, 0, FALSE,
                      DUPLICATE_SAME_ACCESS);
    return copy;
}

}  // namespace

TEST(AfxBeginThread, AutoDeletedObjectClosesItsHandleWhenTheProcedureReturns) {
    Probe probe;
    probe.result = 4242;
    // Suspended, so the object can be looked at before it may vanish.
    CWinThread* thread = AfxBeginThread(&RecordingProc, &probe, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(thread->m_bAutoDelete);
    const HANDLE original = thread->m_hThread;
    const HANDLE watch = DuplicateOf(original);
    ASSERT_NE(watch, nullptr);
    EXPECT_EQ(::GetThreadId(watch), thread->m_nThreadID);
    EXPECT_EQ(thread->ResumeThread(), 1u);
    ASSERT_EQ(::WaitForSingleObject(watch, 10000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    EXPECT_TRUE(::GetExitCodeThread(watch, &exitCode));
    EXPECT_EQ(exitCode, 4242u) << "the procedure's result is the thread's exit code";
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(original, &flags)) << "the object's handle must be closed";
    ::CloseHandle(watch);
}

TEST(AfxBeginThread, KeptObjectOutlivesTheProcedure) {
    Probe probe;
    probe.result = 7;
    CWinThread* thread = AfxBeginThread(&RecordingProc, &probe, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    ASSERT_EQ(::WaitForSingleObject(thread->m_hThread, 10000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    EXPECT_TRUE(::GetExitCodeThread(thread->m_hThread, &exitCode));
    EXPECT_EQ(exitCode, 7u);
    const HANDLE original = thread->m_hThread;
    DWORD flags = 0;
    EXPECT_TRUE(::GetHandleInformation(original, &flags));
    delete thread;
    EXPECT_FALSE(::GetHandleInformation(original, &flags)) << "deleting the object closes the handle";
}

TEST(AfxBeginThread, RunsAtOnceWithTheRequestedPriority) {
    const int priorities[] = {THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_BELOW_NORMAL,
                              THREAD_PRIORITY_HIGHEST};
    for (int priority : priorities) {
        Probe probe;
        ASSERT_NE(AfxBeginThread(&RecordingProc, &probe, priority), nullptr);
        ASSERT_EQ(::WaitForSingleObject(probe.started, 10000), WAIT_OBJECT_0) << "not resumed";
        EXPECT_EQ(probe.priority.load(), priority);
        EXPECT_EQ(probe.runs.load(), 1);
    }
}

TEST(AfxBeginThread, CallerAskingForSuspendedGetsItSuspendedOnce) {
    Probe probe;
    CWinThread* thread =
        AfxBeginThread(&RecordingProc, &probe, THREAD_PRIORITY_LOWEST, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(probe.runs.load(), 0);
    EXPECT_EQ(thread->GetThreadPriority(), THREAD_PRIORITY_LOWEST) << "priority is set before it runs";
    EXPECT_EQ(thread->ResumeThread(), 1u) << "suspended exactly once";
    ASSERT_EQ(::WaitForSingleObject(probe.started, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(probe.priority.load(), THREAD_PRIORITY_LOWEST);
}

TEST(AfxBeginThread, NoProcedureNoThread) {
    EXPECT_EQ(AfxBeginThread(nullptr, nullptr), nullptr);
}
