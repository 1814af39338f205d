// The background tasks' record, their observers and their message sequences,
// seen from a plain window of the test thread.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "app/task_observers.h"
#include "app/task_registry.h"
#include "app/update_messages.h"
#include "app/worker_tasks.h"
#include "framework/framework.h"
#include "tests/app/box_catcher.h"
#include "tests/app/dialog_runner.h"
#include "tests/app/fake_printer.h"

namespace {

// A window of the test thread whose queue the observers post into.
class MessageSink {
public:
    MessageSink() { m_hWnd = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr); }
    ~MessageSink() { ::DestroyWindow(m_hWnd); }
    HWND Hwnd() const { return m_hWnd; }
    std::vector<PostedMessage> Take() {
        std::vector<PostedMessage> taken;
        MSG msg;
        while (::PeekMessageW(&msg, m_hWnd, WM_APP, WM_APP + 10, PM_REMOVE)) {
            EXPECT_EQ(0, msg.lParam) << "lParam travels as 0";
            taken.push_back(PostedMessage{msg.message, msg.wParam});
        }
        return taken;
    }

private:
    HWND m_hWnd;
};

struct ProgressCase {
    int percent;
    int position;
};

TEST(UpdateObserver, MapsPercentToBarPositionsTenToSixty) {
    const ProgressCase cases[] = {{0, 10}, {1, 10}, {33, 26}, {66, 43}, {100, 60}};
    MessageSink sink;
    CUpdateObserver observer(sink.Hwnd());
    for (const auto& c : cases) {
        observer.OnProgress(c.percent);
        EXPECT_EQ(std::vector<PostedMessage>({{WM_SET_PROGRESS, static_cast<WPARAM>(c.position)}}), sink.Take())
            << c.percent << "%";
    }
}

TEST(UpdateObserver, StartAndFinishPostTheirSequences) {
    MessageSink sink;
    CUpdateObserver observer(sink.Hwnd());
    observer.OnStart();
    EXPECT_EQ(std::vector<PostedMessage>({{WM_SET_STATE, STATE_UPDATING}, {WM_SET_PROGRESS, 10}, {WM_REFRESH_UI, 0}}),
              sink.Take());
    observer.OnFinish(1);
    EXPECT_EQ(std::vector<PostedMessage>(
                  {{WM_SET_PROGRESS, 60}, {WM_SET_STATE, STATE_WAIT_DISCONNECT}, {WM_REFRESH_UI, 0}}),
              sink.Take());
    for (int failure : {0, 2, -1}) {
        observer.OnFinish(failure);
        EXPECT_EQ(std::vector<PostedMessage>({{WM_SET_STATE, STATE_FAILED}, {WM_REFRESH_UI, 0}}), sink.Take())
            << failure;
    }
}

TEST(ConnectionObserver, PostsCheckResultsAndNoProgress) {
    MessageSink sink;
    CConnectionObserver observer(sink.Hwnd());
    observer.OnProgress(50);
    EXPECT_TRUE(sink.Take().empty());
    observer.OnStart();
    observer.OnFinish(3);
    EXPECT_EQ(std::vector<PostedMessage>({{WM_CHECK_RESULT, 1}, {WM_CHECK_RESULT, 3}}), sink.Take());
}

// --- the record of running tasks ---------------------------------------

HANDLE g_release = nullptr;
std::atomic<int> g_ended{0};

UINT BlockedTask(LPVOID) {
    ::WaitForSingleObject(g_release, 30000);
    ++g_ended;
    ForgetFinishedTask();
    return 0;
}

HANDLE g_releaseFirst = nullptr;

UINT FirstBlockedTask(LPVOID) {
    ::WaitForSingleObject(g_releaseFirst, 30000);
    ++g_ended;
    ForgetFinishedTask();
    return 0;
}

UINT InstantTask(LPVOID) {
    ++g_ended;
    ForgetFinishedTask();
    return 0;
}

class TaskRecord : public ::testing::Test {
protected:
    void SetUp() override {
        g_release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        g_ended = 0;
    }
    void TearDown() override {
        ::SetEvent(g_release);
        EXPECT_TRUE(WaitForRecordedTasks(10000));
        ::CloseHandle(g_release);
    }
};

TEST_F(TaskRecord, NeverKeepsATaskThatHasEnded) {
    // A task may end before its starter looks again: the record must not
    // then name a thread object that is already gone.
    for (int i = 0; i < 100; ++i) {
        StartRecordedTask(InstantTask, nullptr, THREAD_PRIORITY_ABOVE_NORMAL);
        ASSERT_TRUE(WaitForRecordedTasks(5000));
        ASSERT_EQ(nullptr, g_pWorkerThread) << "round " << i;
    }
    EXPECT_EQ(100, g_ended);
}

TEST_F(TaskRecord, TheEndOfOneTaskLeavesTheRecordOfAnother) {
    g_releaseFirst = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CWinThread* first = StartRecordedTask(FirstBlockedTask, nullptr, THREAD_PRIORITY_NORMAL);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, g_pWorkerThread);
    CWinThread* second = StartRecordedTask(BlockedTask, nullptr, THREAD_PRIORITY_NORMAL);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(second, g_pWorkerThread);
    // The older task ends while the newer one still runs.
    ::SetEvent(g_releaseFirst);
    for (int i = 0; i < 1000 && g_ended < 1; ++i) ::Sleep(5);
    ASSERT_EQ(1, g_ended);
    ::Sleep(20);  // let it return
    EXPECT_EQ(second, g_pWorkerThread) << "the end of the first erased the record of the second";
    EXPECT_EQ(1, RunningTaskCount(BlockedTask));
    EXPECT_EQ(0, RunningTaskCount(FirstBlockedTask));
    ::SetEvent(g_release);
    EXPECT_TRUE(WaitForRecordedTasks(10000));
    EXPECT_EQ(nullptr, g_pWorkerThread);
    EXPECT_EQ(0, RunningTaskCount());
    EXPECT_EQ(2, g_ended);
    ::CloseHandle(g_releaseFirst);
}

TEST_F(TaskRecord, WaitingCoversEveryTaskNotOnlyTheLast) {
    for (int i = 0; i < 3; ++i) StartRecordedTask(BlockedTask, nullptr, THREAD_PRIORITY_NORMAL);
    StartRecordedTask(InstantTask, nullptr, THREAD_PRIORITY_NORMAL);
    EXPECT_FALSE(WaitForRecordedTasks(200)) << "three tasks are still blocked";
    EXPECT_EQ(3, RunningTaskCount(BlockedTask));
    ::SetEvent(g_release);
    EXPECT_TRUE(WaitForRecordedTasks(10000));
    EXPECT_EQ(4, g_ended);
}

// --- the tasks themselves ----------------------------------------------

class Tasks : public ::testing::Test {
protected:
    ScopedFakePrinter printer;
    MessageSink sink;

    std::vector<PostedMessage> RunCheck() {
        CWnd window;
        window.m_hWnd = sink.Hwnd();
        StartRecordedTask(ConnectionCheckThread, &window, THREAD_PRIORITY_ABOVE_NORMAL);
        EXPECT_TRUE(WaitForRecordedTasks(10000));
        window.m_hWnd = nullptr;
        return sink.Take();
    }
};

struct CheckCase {
    const char* name;
    bool present;
    std::uint16_t model;
    std::uint16_t version;
    std::vector<PostedMessage> expected;
};

TEST_F(Tasks, ConnectionCheckPostsExactlyItsResults) {
    const CheckCase cases[] = {
        {"no printer", false, MODEL_A, 0x1000, {{WM_CHECK_RESULT, CHECK_FAILED}}},
        {"A below threshold", true, MODEL_A, 0x250F, {{WM_CHECK_RESULT, 1}, {WM_CHECK_RESULT, CHECK_UPDATE_NEEDED}}},
        {"A at threshold", true, MODEL_A, 0x2510, {{WM_CHECK_RESULT, 1}, {WM_CHECK_RESULT, CHECK_UP_TO_DATE}}},
        {"B below threshold", true, MODEL_B, 0x18D0, {{WM_CHECK_RESULT, 1}, {WM_CHECK_RESULT, CHECK_UPDATE_NEEDED}}},
        {"B current", true, MODEL_B, 0x2000, {{WM_CHECK_RESULT, 1}, {WM_CHECK_RESULT, CHECK_UP_TO_DATE}}},
    };
    for (const auto& c : cases) {
        printer.state.present = c.present;
        printer.state.model = c.model;
        printer.state.version = c.version;
        EXPECT_EQ(c.expected, RunCheck()) << c.name;
        EXPECT_EQ(nullptr, g_pWorkerThread) << c.name;
    }
}

TEST_F(Tasks, InformationLostAfterOpeningEndsTheCheckAsFailed) {
    printer.state.present = true;
    printer.state.failAtWrite = 0;  // ESC 'I' cannot be written
    EXPECT_EQ(std::vector<PostedMessage>({{WM_CHECK_RESULT, 1}, {WM_CHECK_RESULT, CHECK_FAILED}}), RunCheck());
}

TEST_F(Tasks, ACheckPostsToTheWindowItStartedWithNotToWhereTheObjectPointsLater) {
    // The dialog object may be gone before a late task ends: the task must
    // use the handle it took at its start, never the object again.
    MessageSink later;
    printer.state.present = false;
    printer.state.HoldOpens();
    CWnd window;
    window.m_hWnd = sink.Hwnd();
    ASSERT_NE(nullptr, StartRecordedTask(ConnectionCheckThread, &window, THREAD_PRIORITY_ABOVE_NORMAL));
    for (int i = 0; i < 1000 && printer.state.opens == 0; ++i) ::Sleep(5);
    ::Sleep(20);
    window.m_hWnd = later.Hwnd();
    printer.state.ReleaseOpens();
    ASSERT_TRUE(WaitForRecordedTasks(10000));
    window.m_hWnd = nullptr;
    EXPECT_TRUE(later.Take().empty());
    EXPECT_EQ(std::vector<PostedMessage>({{WM_CHECK_RESULT, CHECK_FAILED}}), sink.Take());
}

TEST_F(Tasks, ATaskWhoseWindowIsGoneEndsQuietly) {
    HWND gone = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    CWnd window;
    window.m_hWnd = gone;
    ::DestroyWindow(gone);
    printer.state.present = true;
    printer.state.model = MODEL_A;
    printer.state.version = 0x1000;
    ASSERT_NE(nullptr, StartRecordedTask(ConnectionCheckThread, &window, THREAD_PRIORITY_ABOVE_NORMAL));
    EXPECT_TRUE(WaitForRecordedTasks(10000));
    window.m_hWnd = nullptr;
    EXPECT_EQ(nullptr, g_pWorkerThread);
}

}  // namespace
