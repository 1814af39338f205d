// The update as the dialog sees it: the exact messages of success and
// failure, the failure box, and the guards around a running update.
#include "framework/platform_headers.h"

#include <dbt.h>

#include <string>

#include "app/instance_name.h"
#include "app/update_messages.h"
#include "tests/app/dialog_fixture.h"

namespace {

using Sequence = std::vector<PostedMessage>;

class UpdateTest : public DialogTest {
protected:
    void OpenReady() {
        SetPrinter(true, MODEL_A, 0x1000);
        Open();
        ASSERT_EQ(STATE_UPDATE_AVAILABLE, runner->State());
        runner->ClearMessages();
    }
    bool EndsWith(UINT message, WPARAM wParam) {
        const auto messages = runner->Messages();
        return messages.size() >= 2 && messages[messages.size() - 2] == PostedMessage{message, wParam} &&
               messages.back().message == WM_REFRESH_UI;
    }
    bool Succeeded() { return EndsWith(WM_SET_STATE, STATE_WAIT_DISCONNECT); }
    bool Failed() { return EndsWith(WM_SET_STATE, STATE_FAILED); }
};

const Sequence kSuccess = {
    {WM_SET_STATE, STATE_UPDATING}, {WM_SET_PROGRESS, 10}, {WM_REFRESH_UI, 0},
    {WM_SET_PROGRESS, 26},          {WM_SET_PROGRESS, 43}, {WM_SET_PROGRESS, 60},
    {WM_SET_PROGRESS, 60},          {WM_SET_STATE, STATE_WAIT_DISCONNECT}, {WM_REFRESH_UI, 0},
};

TEST_F(UpdateTest, SuccessPostsItsSequenceThenWaitsForThePrinterToLeave) {
    OpenReady();
    runner->ClickStart();
    ASSERT_TRUE(runner->WaitUntil([this] { return Succeeded(); })) << Describe(runner->Messages());
    EXPECT_EQ(kSuccess, runner->Messages()) << Describe(runner->Messages());
    EXPECT_EQ(STATE_WAIT_DISCONNECT, runner->State());
    ExpectShows(false, false, IDS_MSG_UPDATING, 60, "waiting for disconnect");
    EXPECT_EQ(1, printer.state.updateBegins);
    ASSERT_TRUE(WaitForRecordedTasks(10000));
    EXPECT_EQ(nullptr, g_pWorkerThread);
    EXPECT_TRUE(boxes.Boxes().empty());

    SetPrinter(false);
    runner->Send(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED);
    EXPECT_EQ(STATE_COMPLETED, runner->State());
    ExpectShows(true, false, IDS_MSG_COMPLETED, 100, "completed");
}

struct FailureCase {
    const char* name;
    bool present;   // at the time of the update
    int failAtWrite;
    Sequence progress;  // between the first refresh and SET_STATE 7
    int bar;
};

TEST_F(UpdateTest, FailurePostsStateSevenThenShowsTheBoxFromTheTask) {
    const FailureCase cases[] = {
        {"printer gone", false, -1, {}, 10},
        {"begin packet", true, 1, {}, 10},
        {"first data packet", true, 2, {}, 10},
        {"second data packet", true, 3, {{WM_SET_PROGRESS, 26}}, 26},
        {"third data packet", true, 4, {{WM_SET_PROGRESS, 26}, {WM_SET_PROGRESS, 43}}, 43},
        {"last packet", true, 5, {{WM_SET_PROGRESS, 26}, {WM_SET_PROGRESS, 43}, {WM_SET_PROGRESS, 60}}, 60},
    };
    const LPCWSTR appName = AfxGetApp()->m_pszAppName;
    for (const auto& c : cases) {
        OpenReady();
        printer.state.present = c.present;
        printer.state.failAtWrite = c.failAtWrite;
        const std::size_t before = boxes.Boxes().size();
        runner->ClickStart();
        ASSERT_TRUE(boxes.WaitForBoxes(static_cast<int>(before) + 1)) << c.name;
        ASSERT_TRUE(runner->WaitUntil([this] { return Failed(); })) << c.name << Describe(runner->Messages());
        Sequence expected = {{WM_SET_STATE, STATE_UPDATING}, {WM_SET_PROGRESS, 10}, {WM_REFRESH_UI, 0}};
        expected.insert(expected.end(), c.progress.begin(), c.progress.end());
        expected.push_back({WM_SET_STATE, STATE_FAILED});
        expected.push_back({WM_REFRESH_UI, 0});
        EXPECT_EQ(expected, runner->Messages()) << c.name << ": " << Describe(runner->Messages());

        const CaughtBox box = boxes.Boxes().at(before);
        EXPECT_EQ(ResourceText(IDS_MSG_FAILED), box.text) << c.name;
        EXPECT_EQ(ResourceText(IDS_APP_TITLE), box.caption) << c.name;
        EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), box.type & MB_ICONMASK) << c.name;
        EXPECT_EQ(static_cast<UINT>(MB_OK), box.type & MB_TYPEMASK) << c.name;
        EXPECT_EQ(runner->Hwnd(), box.owner) << c.name;
        EXPECT_NE(::GetCurrentThreadId(), box.threadId);

        // State 7 was shown and then reads as no device; the text and the
        // bar keep what the update left.
        EXPECT_EQ(STATE_NO_DEVICE, runner->State()) << c.name;
        ExpectShows(true, false, IDS_MSG_UPDATING, c.bar, c.name);

        // The task is still there while its box is open.
        EXPECT_NE(nullptr, g_pWorkerThread) << c.name;
        EXPECT_EQ(1, RunningTaskCount(UpdateThread)) << c.name;
        boxes.DismissAll();
        ASSERT_TRUE(WaitForRecordedTasks(10000));
        EXPECT_EQ(nullptr, g_pWorkerThread) << c.name;
        EXPECT_EQ(appName, AfxGetApp()->m_pszAppName) << c.name;

        runner.reset();
        printer.state.failAtWrite = -1;
    }
}

TEST_F(UpdateTest, ASecondPressBeforeTheFirstRefreshIsRefused) {
    OpenReady();
    printer.state.HoldOpens();
    runner->ClickStart();
    runner->ClickStart();
    runner->Flush();
    EXPECT_EQ(1, RunningTaskCount(UpdateThread));
    EXPECT_FALSE(runner->ButtonEnabled());
    printer.state.ReleaseOpens();
    ASSERT_TRUE(runner->WaitUntil([this] { return Succeeded(); })) << Describe(runner->Messages());
    // A press arriving after the update has ended is refused as well.
    runner->ClickStart();
    runner->Flush();
    EXPECT_EQ(0, RunningTaskCount(UpdateThread));
    ASSERT_TRUE(WaitForRecordedTasks(10000));
    EXPECT_EQ(kSuccess, runner->Messages()) << Describe(runner->Messages());
    EXPECT_EQ(1, printer.state.updateBegins);
}

TEST_F(UpdateTest, APressDuringACheckWaitsForItsAnswer) {
    OpenReady();
    printer.state.HoldOpens();
    runner->Send(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED);
    ASSERT_EQ(1, RunningTaskCount(ConnectionCheckThread));
    runner->ClickStart();
    runner->Flush();
    EXPECT_EQ(0, RunningTaskCount(UpdateThread)) << "the check holds the printer";
    EXPECT_FALSE(runner->ButtonEnabled());
    printer.state.ReleaseOpens();
    ASSERT_TRUE(runner->WaitUntil([this] { return Succeeded(); })) << Describe(runner->Messages());
    Sequence expected = {{WM_CHECK_RESULT, 1}, {WM_CHECK_RESULT, CHECK_UPDATE_NEEDED}};
    expected.insert(expected.end(), kSuccess.begin(), kSuccess.end());
    EXPECT_EQ(expected, runner->Messages()) << Describe(runner->Messages());
    EXPECT_EQ(1, printer.state.mostOpenLinks) << "the printer was never opened twice at once";
    EXPECT_EQ(1, printer.state.updateBegins);
}

TEST_F(UpdateTest, APressDuringACheckIsDroppedWhenThePrinterLeaves) {
    OpenReady();
    printer.state.HoldOpens();
    runner->Send(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED);
    runner->ClickStart();
    runner->Flush();
    SetPrinter(false);
    printer.state.ReleaseOpens();
    ASSERT_TRUE(runner->WaitUntil([this] { return LastIsFinalCheckResult(); }));
    ASSERT_TRUE(WaitForRecordedTasks(10000));
    EXPECT_EQ(Sequence({{WM_CHECK_RESULT, CHECK_FAILED}}), runner->Messages()) << Describe(runner->Messages());
    EXPECT_EQ(STATE_NO_DEVICE, runner->State());
    EXPECT_EQ(0, printer.state.updateBegins);
}

TEST_F(UpdateTest, DeviceChangesDuringACheckRunOneMoreCheckAfterIt) {
    OpenReady();
    const int opensBefore = printer.state.opens;
    printer.state.HoldOpens();
    for (int i = 0; i < 3; ++i) runner->Send(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED);
    EXPECT_EQ(1, RunningTaskCount(ConnectionCheckThread)) << "checks run one at a time";
    printer.state.version = 0x2600;  // the newer answer must be the one shown
    printer.state.ReleaseOpens();
    ASSERT_TRUE(runner->WaitUntil([this] {
        return runner->Messages().size() >= 4 && LastIsFinalCheckResult() && RunningTaskCount() == 0;
    })) << Describe(runner->Messages());
    EXPECT_EQ(Sequence({{WM_CHECK_RESULT, 1}, {WM_CHECK_RESULT, CHECK_UP_TO_DATE}, {WM_CHECK_RESULT, 1},
                        {WM_CHECK_RESULT, CHECK_UP_TO_DATE}}),
              runner->Messages())
        << Describe(runner->Messages());
    EXPECT_EQ(opensBefore + 4, printer.state.opens) << "two checks of two opens each";
    EXPECT_EQ(1, printer.state.mostOpenLinks);
    EXPECT_EQ(STATE_UP_TO_DATE, runner->State());
}

TEST_F(UpdateTest, ADeviceChangeAfterTheFailureIsStoredStartsACheck) {
    OpenReady();
    printer.state.failAtWrite = 1;
    printer.state.HoldOpens();
    runner->ClickStart();
    ASSERT_TRUE(runner->WaitUntil([this] { return runner->State() == STATE_UPDATING; }));
    // The failure stored, its refresh not handled yet: the update is over
    // for the dialog, so the device-list change is that of state 7.
    runner->Post(WM_SET_STATE, STATE_FAILED);
    runner->Flush();
    runner->Send(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED);
    EXPECT_EQ(1, RunningTaskCount(ConnectionCheckThread));
    EXPECT_EQ(STATE_NO_DEVICE, runner->State()) << "state 7 shown, then read as 0";
    printer.state.ReleaseOpens();
    ASSERT_TRUE(boxes.WaitForBoxes(1));
    boxes.DismissAll();
}

TEST_F(UpdateTest, ClosingWaitsForEveryRunningTaskNotOnlyTheLast) {
    OpenReady();
    printer.state.failAtWrite = 2;
    runner->ClickStart();
    ASSERT_TRUE(boxes.WaitForBoxes(1));
    ASSERT_TRUE(runner->WaitUntil([this] { return Failed(); }));
    // The update task waits on its box; now a check starts and becomes the
    // last task started.
    printer.state.HoldOpens();
    runner->Send(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED);
    ASSERT_EQ(1, RunningTaskCount(ConnectionCheckThread));
    ASSERT_EQ(1, RunningTaskCount(UpdateThread));
    runner->Post(WM_CLOSE);
    // The property goes first, then the dialog waits (hiding the window can
    // take Wine a while without a window manager).
    for (int i = 0; i < 1000 && ::GetPropW(runner->Hwnd(), kSingleInstanceName) != nullptr; ++i) ::Sleep(10);
    EXPECT_EQ(nullptr, ::GetPropW(runner->Hwnd(), kSingleInstanceName));
    EXPECT_FALSE(runner->WaitFinished(300)) << "closed while a check was running";
    printer.state.ReleaseOpens();
    for (int i = 0; i < 1000 && RunningTaskCount(ConnectionCheckThread) != 0; ++i) ::Sleep(10);
    EXPECT_EQ(0, RunningTaskCount(ConnectionCheckThread));
    EXPECT_FALSE(runner->WaitFinished(300)) << "closed while the update task still showed its box";
    boxes.DismissAll();
    ASSERT_TRUE(runner->WaitFinished(10000));
    EXPECT_EQ(IDCANCEL, runner->Result());
    EXPECT_EQ(0, RunningTaskCount());
    EXPECT_EQ(nullptr, g_pWorkerThread);
}

TEST_F(UpdateTest, ADeviceChangeWhileClosingStartsNoNewTask) {
    OpenReady();
    printer.state.failAtWrite = 2;
    runner->ClickStart();
    ASSERT_TRUE(boxes.WaitForBoxes(1));
    ASSERT_TRUE(runner->WaitUntil([this] { return Failed(); }));
    runner->Post(WM_CLOSE);
    for (int i = 0; i < 1000 && ::GetPropW(runner->Hwnd(), kSingleInstanceName) != nullptr; ++i) ::Sleep(10);
    ASSERT_FALSE(runner->Finished());
    // Broadcasts are sent, and sent messages are handled during the wait.
    printer.state.HoldOpens();
    DWORD_PTR ignored = 0;
    EXPECT_NE(0, ::SendMessageTimeoutW(runner->Hwnd(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0, SMTO_BLOCK, 5000,
                                       &ignored))
        << "the closing dialog handles no sent message";
    EXPECT_EQ(0, RunningTaskCount(ConnectionCheckThread));
    runner->ClickStart();
    boxes.DismissAll();
    ASSERT_TRUE(runner->WaitFinished(10000));
    EXPECT_EQ(0, RunningTaskCount());
    EXPECT_EQ(1, printer.state.updateBegins);
}

}  // namespace
