// What the dialog shows in each state and how it reacts to its messages,
// device-list changes and the keys and commands that might close it.
#include "framework/platform_headers.h"

#include <dbt.h>

#include <string>

#include "app/instance_name.h"
#include "app/update_messages.h"
#include "tests/app/dialog_fixture.h"

namespace {

TEST_F(DialogTest, OpensWithoutPrinterShowingNoDevice) {
    SetPrinter(false);
    Open();
    EXPECT_EQ(std::vector<PostedMessage>({{WM_CHECK_RESULT, CHECK_FAILED}}), runner->Messages())
        << Describe(runner->Messages());
    EXPECT_EQ(1, printer.state.opens) << "one check, one open";
    EXPECT_EQ(STATE_NO_DEVICE, runner->State());
    ExpectShows(true, false, IDS_MSG_NO_DEVICE, 0, "no printer");
    EXPECT_EQ(ResourceText(IDS_DESCRIPTION), runner->ControlText(IDC_DESCRIPTION));
    EXPECT_EQ(L"Version 2.00", runner->ControlText(IDC_VERSION_TEXT));
    EXPECT_EQ(reinterpret_cast<HANDLE>(1), ::GetPropW(runner->Hwnd(), kSingleInstanceName));
    EXPECT_EQ(nullptr, g_pWorkerThread);
}

struct PresentCase {
    const char* name;
    std::uint16_t model;
    std::uint16_t version;
    int result;
    UpdateState state;
    bool button;
    UINT text;
};

TEST_F(DialogTest, OpensWithPrinterShowingWhatItsFirmwareNeeds) {
    const PresentCase cases[] = {
        {"A old", MODEL_A, 0x2400, CHECK_UPDATE_NEEDED, STATE_UPDATE_AVAILABLE, true, IDS_MSG_READY},
        {"A current", MODEL_A, 0x2510, CHECK_UP_TO_DATE, STATE_UP_TO_DATE, false, IDS_MSG_UP_TO_DATE},
        {"B old", MODEL_B, 0x1000, CHECK_UPDATE_NEEDED, STATE_UPDATE_AVAILABLE, true, IDS_MSG_READY},
        {"unknown model", 0x0999, 0x0001, CHECK_UP_TO_DATE, STATE_UP_TO_DATE, false, IDS_MSG_UP_TO_DATE},
    };
    for (const auto& c : cases) {
        SetPrinter(true, c.model, c.version);
        Open();
        EXPECT_EQ(std::vector<PostedMessage>({{WM_CHECK_RESULT, 1}, {WM_CHECK_RESULT, static_cast<WPARAM>(c.result)}}),
                  runner->Messages())
            << c.name << ": " << Describe(runner->Messages());
        EXPECT_EQ(c.state, runner->State()) << c.name;
        ExpectShows(true, c.button, c.text, 0, c.name);
        runner.reset();
    }
}

struct StateRow {
    UpdateState state;
    bool close;
    bool button;
    UINT text;  // IDS_MSG_NO_DEVICE where the row leaves the text as it was
    int bar;    // 37 where the row leaves the bar as it was
    UpdateState after;
};

TEST_F(DialogTest, EachStateShowsItsRowAtTheNextRefresh) {
    const StateRow rows[] = {
        {STATE_NO_DEVICE, true, false, IDS_MSG_NO_DEVICE, 0, STATE_NO_DEVICE},
        {STATE_CHECKING, true, false, IDS_MSG_CHECKING, 0, STATE_CHECKING},
        {STATE_UPDATE_AVAILABLE, true, true, IDS_MSG_READY, 0, STATE_UPDATE_AVAILABLE},
        {STATE_UP_TO_DATE, true, false, IDS_MSG_UP_TO_DATE, 37, STATE_UP_TO_DATE},
        {STATE_UPDATING, false, false, IDS_MSG_UPDATING, 37, STATE_UPDATING},
        {STATE_WAIT_DISCONNECT, false, false, IDS_MSG_NO_DEVICE, 37, STATE_WAIT_DISCONNECT},
        {STATE_COMPLETED, true, false, IDS_MSG_COMPLETED, 100, STATE_COMPLETED},
        {STATE_FAILED, true, false, IDS_MSG_NO_DEVICE, 37, STATE_NO_DEVICE},
    };
    SetPrinter(false);
    Open();
    for (const auto& row : rows) {
        const std::string where = "state " + std::to_string(row.state);
        runner->ShowState(STATE_NO_DEVICE);
        runner->Post(WM_SET_PROGRESS, 37);
        runner->ShowState(row.state);
        ExpectShows(row.close, row.button, row.text, row.bar, where.c_str());
        EXPECT_EQ(row.after, runner->State()) << where;
    }
}

TEST_F(DialogTest, SetStateAloneChangesNothingVisible) {
    SetPrinter(false);
    Open();
    runner->Post(WM_SET_STATE, STATE_UPDATING);
    EXPECT_EQ(STATE_UPDATING, runner->State());
    ExpectShows(true, false, IDS_MSG_NO_DEVICE, 0, "stored only");
    runner->Post(WM_REFRESH_UI);
    ExpectShows(false, false, IDS_MSG_UPDATING, 0, "after the refresh");
}

TEST_F(DialogTest, AStateAboveSevenIsNeitherShownNorActedOn) {
    SetPrinter(false);
    Open();
    runner->ShowState(8);
    EXPECT_EQ(8, runner->State());
    ExpectShows(true, false, IDS_MSG_NO_DEVICE, 0, "state 8");
    printer.state.HoldOpens();
    runner->Send(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED);
    EXPECT_EQ(0, RunningTaskCount());
}

struct ResultCase {
    WPARAM code;
    UpdateState state;
    UINT text;
    bool button;
};

TEST_F(DialogTest, CheckResultsMapToStatesAndUnknownOnesToNoDevice) {
    const ResultCase cases[] = {
        {1, STATE_CHECKING, IDS_MSG_CHECKING, false},     {2, STATE_UPDATE_AVAILABLE, IDS_MSG_READY, true},
        {3, STATE_UP_TO_DATE, IDS_MSG_UP_TO_DATE, false}, {4, STATE_NO_DEVICE, IDS_MSG_NO_DEVICE, false},
        {0, STATE_NO_DEVICE, IDS_MSG_NO_DEVICE, false},   {99, STATE_NO_DEVICE, IDS_MSG_NO_DEVICE, false},
    };
    SetPrinter(false);
    Open();
    for (const auto& c : cases) {
        runner->Post(WM_CHECK_RESULT, 3);
        runner->Post(WM_CHECK_RESULT, c.code);
        EXPECT_EQ(c.state, runner->State()) << "code " << c.code;
        ExpectShows(true, c.button, c.text, 0, ("code " + std::to_string(c.code)).c_str());
    }
}

TEST_F(DialogTest, ACheckResultNeverReplacesTheUpdatesStates) {
    SetPrinter(false);
    Open();
    for (UpdateState busy : {STATE_UPDATING, STATE_WAIT_DISCONNECT}) {
        runner->ShowState(busy);
        for (WPARAM code : {WPARAM(1), WPARAM(2), WPARAM(3), WPARAM(4)}) {
            runner->Post(WM_CHECK_RESULT, code);
            EXPECT_EQ(busy, runner->State()) << int(busy) << " code " << code;
            EXPECT_FALSE(runner->CloseEnabled()) << int(busy) << " code " << code;
        }
    }
}

TEST_F(DialogTest, ProgressIsClampedToTheBarsRange) {
    const std::pair<int, int> cases[] = {{-5, 0}, {150, 100}, {60, 60}, {0, 0}, {100, 100}, {101, 100}, {-1, 0}};
    SetPrinter(false);
    Open();
    for (const auto& c : cases) {
        runner->Post(WM_SET_PROGRESS, static_cast<WPARAM>(static_cast<INT_PTR>(c.first)));
        runner->Flush();
        EXPECT_EQ(c.second, runner->BarPosition()) << c.first;
        EXPECT_EQ(STATE_NO_DEVICE, runner->State());
    }
}

TEST_F(DialogTest, DeviceListChangeStartsACheckOnlyWhereNoTaskRuns) {
    const std::pair<UpdateState, bool> cases[] = {
        {STATE_NO_DEVICE, true}, {STATE_CHECKING, false},  {STATE_UPDATE_AVAILABLE, true}, {STATE_UP_TO_DATE, true},
        {STATE_UPDATING, false}, {STATE_COMPLETED, true}, {STATE_FAILED, true},
    };
    SetPrinter(false);
    Open();
    for (const auto& c : cases) {
        const std::string where = "state " + std::to_string(c.first);
        runner->ShowState(STATE_NO_DEVICE);
        // Stored, not shown: state 7 must still be 7 when the change comes.
        runner->Post(WM_SET_STATE, c.first);
        runner->Flush();
        runner->ClearMessages();
        printer.state.HoldOpens();
        runner->Send(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED);
        EXPECT_EQ(c.second ? 1 : 0, RunningTaskCount(ConnectionCheckThread)) << where;
        if (c.second) {
            EXPECT_NE(nullptr, g_pWorkerThread) << where;
        }
        printer.state.ReleaseOpens();
        ASSERT_TRUE(WaitForRecordedTasks(10000));
        if (c.second) {
            ASSERT_TRUE(runner->WaitUntil([this] { return LastIsFinalCheckResult(); })) << where;
            EXPECT_EQ(std::vector<PostedMessage>({{WM_CHECK_RESULT, CHECK_FAILED}}), runner->Messages()) << where;
            EXPECT_EQ(STATE_NO_DEVICE, runner->State()) << where;
        } else {
            EXPECT_TRUE(runner->Messages().empty()) << where;
            EXPECT_EQ(c.first, runner->State()) << where;
        }
        EXPECT_EQ(nullptr, g_pWorkerThread) << where;
    }
}

TEST_F(DialogTest, DeviceListChangeWhileCheckingStartsNoFurtherCheck) {
    SetPrinter(true, MODEL_A, 0x2400);
    Open();
    runner->ClearMessages();
    const int opensBefore = printer.state.opens;
    // The next check gets past its presence open and is held at its second.
    printer.state.gateFromOpen = opensBefore + 2;
    printer.state.HoldOpens();
    runner->Send(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED);
    ASSERT_TRUE(runner->WaitUntil([this] { return runner->State() == STATE_CHECKING; }));

    runner->Send(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED);
    EXPECT_EQ(1, RunningTaskCount(ConnectionCheckThread));
    printer.state.ReleaseOpens();
    ASSERT_TRUE(runner->WaitUntil([this] { return LastIsFinalCheckResult(); })) << Describe(runner->Messages());
    ASSERT_TRUE(WaitForRecordedTasks(10000));
    runner->Flush();

    EXPECT_EQ(opensBefore + 2, printer.state.opens) << "one check: its two opens, nothing more";
    EXPECT_EQ(std::vector<PostedMessage>({{WM_CHECK_RESULT, 1}, {WM_CHECK_RESULT, CHECK_UPDATE_NEEDED}}),
              runner->Messages())
        << Describe(runner->Messages());
    EXPECT_EQ(STATE_UPDATE_AVAILABLE, runner->State());
}

TEST_F(DialogTest, OtherDeviceEventsAreIgnored) {
    SetPrinter(false);
    Open();
    printer.state.HoldOpens();
    for (WPARAM event : {WPARAM(DBT_DEVICEARRIVAL), WPARAM(DBT_DEVICEREMOVECOMPLETE), WPARAM(DBT_CONFIGCHANGED), WPARAM(0)}) {
        EXPECT_EQ(0, runner->Send(WM_DEVICECHANGE, event));
        EXPECT_EQ(0, RunningTaskCount()) << event;
    }
    EXPECT_EQ(1, printer.state.opens);
}

TEST_F(DialogTest, WaitingForDisconnectChecksPresenceOnEachChange) {
    SetPrinter(true, MODEL_A, 0x2600);
    Open();
    runner->Post(WM_SET_PROGRESS, 60);
    runner->ShowState(STATE_WAIT_DISCONNECT);
    runner->Send(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED);
    EXPECT_EQ(STATE_WAIT_DISCONNECT, runner->State()) << "printer still there";
    EXPECT_FALSE(runner->CloseEnabled());
    EXPECT_EQ(60, runner->BarPosition());
    EXPECT_EQ(0, RunningTaskCount());

    SetPrinter(false);
    runner->Send(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED);
    EXPECT_EQ(STATE_COMPLETED, runner->State());
    ExpectShows(true, false, IDS_MSG_COMPLETED, 100, "printer gone");
    EXPECT_EQ(0, RunningTaskCount()) << "the presence check runs on the dialog's own thread";
}

TEST_F(DialogTest, EnterNeverClosesTheDialog) {
    SetPrinter(false);
    Open();
    runner->Post(WM_COMMAND, IDOK);
    runner->Flush();
    EXPECT_FALSE(runner->WaitFinished(200));
    EXPECT_TRUE(::IsWindow(runner->Hwnd()));
}

TEST_F(DialogTest, EscapeKeyNeverClosesTheDialog) {
    SetPrinter(false);
    Open();
    ::SetForegroundWindow(runner->Hwnd());
    runner->Flush();
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(1, &keys[0], sizeof(INPUT));
    ASSERT_TRUE(runner->WaitUntil([this] { return runner->EscapeKeysSeen() > 0; }, 5000))
        << "the key never reached the dialog";
    runner->Flush();
    EXPECT_FALSE(runner->WaitFinished(200)) << "Escape closed the dialog";
    ::SendInput(1, &keys[1], sizeof(INPUT));
    runner->Flush();
    EXPECT_FALSE(runner->Finished());
}

struct CloseCase {
    UINT message;
    WPARAM wParam;
    UpdateState state;
    bool closes;
};

TEST_F(DialogTest, CloseCommandClosesOnlyWhileEnabled) {
    const CloseCase cases[] = {
        {WM_SYSCOMMAND, SC_CLOSE, STATE_UPDATING, false}, {WM_CLOSE, 0, STATE_UPDATING, false},
        {WM_SYSCOMMAND, SC_CLOSE, STATE_WAIT_DISCONNECT, false}, {WM_CLOSE, 0, STATE_WAIT_DISCONNECT, false},
        {WM_CLOSE, 0, STATE_NO_DEVICE, true}, {WM_SYSCOMMAND, SC_CLOSE, STATE_UP_TO_DATE, true},
        {WM_SYSCOMMAND, SC_CLOSE, STATE_COMPLETED, true},
    };
    for (const auto& c : cases) {
        const std::string where = "state " + std::to_string(c.state) + " message " + std::to_string(c.message);
        SetPrinter(false);
        Open();
        runner->ShowState(c.state);
        EXPECT_EQ(c.closes, runner->CloseEnabled()) << where;
        runner->Post(c.message, c.wParam);
        runner->Flush();
        EXPECT_EQ(c.closes, runner->WaitFinished(c.closes ? 5000 : 200)) << where;
        if (c.closes) {
            EXPECT_EQ(IDCANCEL, runner->Result()) << where;
        }
        runner.reset();
    }
}

}  // namespace
