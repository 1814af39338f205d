#pragma once
// A dialog opened against the fake printer, with message boxes caught.
#include <gtest/gtest.h>

#include <memory>

#include "app/task_registry.h"
#include "app/worker_tasks.h"
#include "res/resource.h"
#include "tests/app/box_catcher.h"
#include "tests/app/dialog_runner.h"
#include "tests/app/fake_printer.h"

class DialogTest : public ::testing::Test {
protected:
    void TearDown() override {
        printer.state.ReleaseOpens();
        boxes.DismissAll();
        runner.reset();
        EXPECT_TRUE(WaitForRecordedTasks(10000));
    }

    // Opens the dialog and waits for the first check's answer.
    void Open() {
        runner = std::make_unique<DialogRunner>();
        ASSERT_NE(nullptr, runner->Hwnd());
        ASSERT_TRUE(runner->WaitUntil([this] { return LastIsFinalCheckResult(); }))
            << Describe(runner->Messages());
        ASSERT_TRUE(WaitForRecordedTasks(10000));
    }

    bool LastIsFinalCheckResult() const {
        const auto messages = runner->Messages();
        return !messages.empty() && messages.back().message == WM_CHECK_RESULT && messages.back().wParam != 1;
    }

    void SetPrinter(bool present, std::uint16_t model = MODEL_A, std::uint16_t version = 0x1000) {
        printer.state.present = present;
        printer.state.model = model;
        printer.state.version = version;
    }

    void ExpectShows(bool closeEnabled, bool buttonEnabled, UINT textId, int bar, const char* where) {
        runner->Flush();
        EXPECT_EQ(closeEnabled, runner->CloseEnabled()) << where;
        EXPECT_EQ(buttonEnabled, runner->ButtonEnabled()) << where;
        EXPECT_EQ(ResourceText(textId), runner->ControlText(IDC_MESSAGE)) << where << " text " << textId;
        EXPECT_EQ(bar, runner->BarPosition()) << where;
    }

    ScopedFakePrinter printer;
    BoxCatcher boxes;
    std::unique_ptr<DialogRunner> runner;
};
