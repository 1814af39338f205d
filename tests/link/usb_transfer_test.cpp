// Reads and writes: one WinUSB call per transfer on the caller's buffer, the
// five error texts, and the paths that must not leave a transfer running.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "usb_link_fixture.h"

namespace {

const std::u16string kWritePipeFailed = u"WinUsb_WritePipe Failed\r\n";
const std::u16string kWriteTimedOut = u"USB write time out Error !!\r\n";
const std::u16string kReadPipeFailed = u"WinUsb_ReadPipe Failed\r\n";
const std::u16string kReadResultFailed = u"WinUSB Read OverlappedResult Error\r\n";
const std::u16string kReadTimedOut = u"USB Read time out Error !!\r\n";

enum class Op { kRead, kWrite };

struct TransferCase {
    const char* name;
    Op op;
    std::uint32_t length;
    std::vector<FakeTransfer> script;
    std::vector<DWORD> waits;
    int expectedCount;
    int expectedCalls;  // WinUSB transfer calls
};

void PrintTo(const TransferCase& c, std::ostream* os) { *os << c.name; }

std::vector<TransferCase> TransferCases() {
    using T = FakeTransfer;
    return {
        {"ReadAtOnce", Op::kRead, 5, {T::Now(5)}, {}, 5, 1},
        {"ReadPending", Op::kRead, 5, {T::Later(5)}, {}, 5, 1},
        {"ReadShortAtOnce", Op::kRead, 5, {T::Now(3)}, {}, 3, 1},
        {"ReadShortPending", Op::kRead, 5, {T::Later(3)}, {}, 3, 1},
        {"ReadZeroLengthPacketsIssuedAgain", Op::kRead, 5, {T::Later(0), T::Now(0), T::Later(2)}, {}, 2, 3},
        {"ReadOfNothing", Op::kRead, 0, {T::Now(0)}, {}, 0, 1},
        {"ReadOfNothingPending", Op::kRead, 0, {T::Later(0)}, {}, 0, 1},
        {"ReadLargestPacket", Op::kRead, 65540, {T::Later(65540)}, {}, 65540, 1},
        {"WriteAtOnce", Op::kWrite, 65540, {T::Now(65540)}, {}, 65540, 1},
        {"WritePending", Op::kWrite, 65540, {T::Later(65540)}, {}, 65540, 1},
        {"WriteShort", Op::kWrite, 8, {T::Later(6)}, {}, 6, 1},
        {"WriteNothingSentIssuedAgain", Op::kWrite, 8, {T::Now(0), T::Later(0), T::Later(8)}, {}, 8, 3},
        {"WriteOfNothing", Op::kWrite, 0, {T::Now(0)}, {}, 0, 1},
    };
}

class TransferTest : public UsbLinkTest, public ::testing::WithParamInterface<TransferCase> {};

TEST_P(TransferTest, HandsTheWholeBufferToOneCallPerAttempt) {
    const TransferCase& c = GetParam();
    OpenPrinter();
    fake.transfers.assign(c.script.begin(), c.script.end());
    fake.waitResults.assign(c.waits.begin(), c.waits.end());
    std::vector<unsigned char> buffer(c.length + 1, 0xEE);

    const int count = c.op == Op::kRead ? link->Read(buffer.data(), c.length) : link->Write(buffer.data(), c.length);

    EXPECT_EQ(count, c.expectedCount);
    EXPECT_FALSE(fake.TransferOutstanding());
    ASSERT_EQ(fake.transferCalls.size(), static_cast<std::size_t>(c.expectedCalls));
    for (const TransferCall& call : fake.transferCalls) {
        EXPECT_EQ(call.read, c.op == Op::kRead);
        EXPECT_EQ(call.pipe, c.op == Op::kRead ? 0x81 : 0x02);
        EXPECT_EQ(call.buffer, buffer.data());
        EXPECT_EQ(call.length, c.length);
        // One overlapped record per call, used by every attempt.
        EXPECT_EQ(call.overlapped, fake.transferCalls[0].overlapped);
    }
    if (c.op == Op::kRead) {
        for (int i = 0; i < count; ++i) ASSERT_EQ(buffer[i], static_cast<unsigned char>(i + 1)) << "byte " << i;
        EXPECT_EQ(buffer[count], 0xEE) << "read wrote past its count";
    }
    EXPECT_EQ(fake.CallCount("CancelIo"), 0);
    EXPECT_EQ(fake.deviceFiles.Held(), 1) << "a completed transfer leaves the link open";
}

INSTANTIATE_TEST_SUITE_P(Transfers, TransferTest, ::testing::ValuesIn(TransferCases()),
                         [](const ::testing::TestParamInfo<TransferCase>& info) { return info.param.name; });

struct ErrorCase {
    const char* name;
    Op op;
    std::vector<FakeTransfer> script;
    std::vector<DWORD> waits;
    std::u16string expectedText;
    bool openAfterwards;
    bool cancels;  // the transfer was cancelled and waited for before the throw
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }

std::vector<ErrorCase> ErrorCases() {
    using T = FakeTransfer;
    return {
        {"WritePipeFails", Op::kWrite, {T::Fail()}, {}, kWritePipeFailed, true, false},
        {"WriteTimesOut", Op::kWrite, {T::Hang()}, {}, kWriteTimedOut, false, true},
        // A dead device would otherwise be written to forever.
        {"WriteCompletionFails", Op::kWrite, {T::LaterFail(3)}, {}, kWritePipeFailed, true, false},
        {"WriteWaitFails", Op::kWrite, {T::Hang()}, {WAIT_FAILED}, kWritePipeFailed, true, true},
        {"ReadPipeFails", Op::kRead, {T::Fail()}, {}, kReadPipeFailed, true, false},
        {"ReadCompletionFails", Op::kRead, {T::LaterFail(3)}, {}, kReadResultFailed, true, false},
        {"ReadTimesOut", Op::kRead, {T::Hang()}, {}, kReadTimedOut, false, true},
        {"ReadWaitFails", Op::kRead, {T::Hang()}, {WAIT_FAILED}, kReadPipeFailed, true, true},
        {"ReadWaitAbandoned", Op::kRead, {T::Later(5)}, {WAIT_ABANDONED}, kReadPipeFailed, true, true},
        {"ReadTimesOutAfterZeroLengthPacket", Op::kRead, {T::Later(0), T::Hang()}, {}, kReadTimedOut, false, true},
    };
}

class TransferErrorTest : public UsbLinkTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(TransferErrorTest, ThrowsItsTextWithNothingLeftRunning) {
    const ErrorCase& c = GetParam();
    OpenPrinter();
    link->SetTimeouts(100, 200);
    fake.transfers.assign(c.script.begin(), c.script.end());
    fake.waitResults.assign(c.waits.begin(), c.waits.end());
    unsigned char buffer[5] = {};

    const std::u16string thrown = ThrownText([&] {
        if (c.op == Op::kRead)
            link->Read(buffer, sizeof buffer);
        else
            link->Write(buffer, sizeof buffer);
    });

    EXPECT_EQ(thrown, c.expectedText) << Narrow(thrown);
    EXPECT_FALSE(fake.TransferOutstanding()) << "threw while the transfer could still touch the buffer";
    EXPECT_EQ(fake.CallCount("CancelIo"), c.cancels ? 1 : 0);
    if (c.cancels) {
        // Cancel, then wait for the cancelled transfer, and only then release.
        std::vector<std::string> tail = fake.CallsSince(fake.calls.size() - (c.openAfterwards ? 2 : 6));
        std::vector<std::string> expected = {"CancelIo", "WinUsb_GetOverlappedResult"};
        if (!c.openAfterwards)
            expected.insert(expected.end(),
                            {"free", "SetupDiDestroyDeviceInfoList", "WinUsb_Free", "CloseHandle"});
        EXPECT_EQ(tail, expected);
    }
    if (c.openAfterwards) {
        EXPECT_EQ(fake.deviceFiles.Held(), 1);
        fake.transfers = {FakeTransfer::Now(5)};
        EXPECT_EQ(c.op == Op::kRead ? link->Read(buffer, 5) : link->Write(buffer, 5), 5) << "still usable";
    } else {
        EXPECT_TRUE(fake.Balanced()) << "a time-out closes the link";
        const std::size_t callsBefore = fake.transferCalls.size();
        EXPECT_EQ(ThrownText([&] {
                      if (c.op == Op::kRead)
                          link->Read(buffer, 5);
                      else
                          link->Write(buffer, 5);
                  }),
                  c.op == Op::kRead ? kReadPipeFailed : kWritePipeFailed);
        EXPECT_EQ(fake.transferCalls.size(), callsBefore);
    }
}

INSTANTIATE_TEST_SUITE_P(Errors, TransferErrorTest, ::testing::ValuesIn(ErrorCases()),
                         [](const ::testing::TestParamInfo<ErrorCase>& info) { return info.param.name; });

TEST_F(UsbLinkTest, WriteThatFinishedDespiteAFailedWaitKeepsItsCount) {
    OpenPrinter();
    fake.transfers = {FakeTransfer::LaterDespiteCancel(8)};
    fake.waitResults = {WAIT_FAILED};
    unsigned char buffer[8] = {};

    EXPECT_EQ(link->Write(buffer, 8), 8);

    EXPECT_EQ(fake.CallsSince(fake.calls.size() - 4),
              (std::vector<std::string>{"WinUsb_WritePipe", "WaitForSingleObject", "CancelIo",
                                        "WinUsb_GetOverlappedResult"}));
    EXPECT_FALSE(fake.TransferOutstanding());
}

TEST_F(UsbLinkTest, TimedOutReadCanBeOpenedAgain) {
    OpenPrinter();
    link->SetTimeouts(100, 100);
    fake.transfers = {FakeTransfer::Hang()};
    unsigned char buffer[5];
    ASSERT_EQ(ThrownText([&] { link->Read(buffer, 5); }), kReadTimedOut);

    ASSERT_EQ(link->Open(), 1);
    fake.transfers = {FakeTransfer::Later(5)};
    EXPECT_EQ(link->Read(buffer, 5), 5);
}

TEST_F(UsbLinkTest, TransfersOnALinkThatIsNotOpenThrowTheFailedTexts) {
    unsigned char buffer[5] = {};
    EXPECT_EQ(ThrownText([&] { link->Read(buffer, 5); }), kReadPipeFailed);
    EXPECT_EQ(ThrownText([&] { link->Write(buffer, 5); }), kWritePipeFailed);
    EXPECT_EQ(link->ReadPoll(buffer, 5), 0);

    fake.AddInterface(L"\\\\?\\usb#vid_046d&pid_c52b#1");
    ASSERT_EQ(link->Open(), 0);
    EXPECT_EQ(ThrownText([&] { link->Read(buffer, 5); }), kReadPipeFailed);
    EXPECT_EQ(ThrownText([&] { link->Write(buffer, 5); }), kWritePipeFailed);
    EXPECT_TRUE(fake.transferCalls.empty());
}

TEST_F(UsbLinkTest, WaitLimitsStartUnlimitedAndTakeTheReadLimitFirst) {
    OpenPrinter();
    unsigned char buffer[4] = {};
    fake.transfers = {FakeTransfer::Later(4), FakeTransfer::Later(4)};
    link->Read(buffer, 4);
    link->Write(buffer, 4);
    EXPECT_EQ(fake.waitLimits, (std::vector<DWORD>{INFINITE, INFINITE}));

    link->SetTimeouts(111, 222);
    fake.transfers = {FakeTransfer::Later(4), FakeTransfer::Later(4)};
    link->Read(buffer, 4);
    link->Write(buffer, 4);
    EXPECT_EQ(fake.waitLimits, (std::vector<DWORD>{INFINITE, INFINITE, 111, 222}));
}

// ReadPoll: one attempt, a fixed 1000 ms wait, every failure a count of 0.
struct PollCase {
    const char* name;
    std::vector<FakeTransfer> script;
    std::vector<DWORD> waits;
    int expectedCount;
    bool waits1000;
    bool cancels;
};

void PrintTo(const PollCase& c, std::ostream* os) { *os << c.name; }

std::vector<PollCase> PollCases() {
    using T = FakeTransfer;
    return {
        {"AtOnce", {T::Now(4)}, {}, 4, false, false},
        {"Pending", {T::Later(3)}, {}, 3, true, false},
        {"PipeFails", {T::Fail()}, {}, 0, false, false},
        {"NoDataWithinTheWait", {T::Hang()}, {}, 0, true, true},
        {"WaitFails", {T::Hang()}, {WAIT_FAILED}, 0, true, true},
        {"CompletionFails", {T::LaterFail(3)}, {}, 0, true, false},
        {"CompletionFailsWithNothing", {T::LaterFail(0)}, {}, 0, true, false},
        {"ZeroLengthPacketNotIssuedAgain", {T::Later(0)}, {}, 0, true, false},
    };
}

class ReadPollTest : public UsbLinkTest, public ::testing::WithParamInterface<PollCase> {};

TEST_P(ReadPollTest, MakesOneAttemptAndNeverThrows) {
    const PollCase& c = GetParam();
    OpenPrinter();
    link->SetTimeouts(50, 60);  // ReadPoll keeps its own wait
    fake.transfers.assign(c.script.begin(), c.script.end());
    fake.waitResults.assign(c.waits.begin(), c.waits.end());
    unsigned char buffer[5] = {};

    int count = -1;
    EXPECT_NO_THROW(count = link->ReadPoll(buffer, sizeof buffer));

    EXPECT_EQ(count, c.expectedCount);
    ASSERT_EQ(fake.transferCalls.size(), 1u);
    EXPECT_TRUE(fake.transferCalls[0].read);
    EXPECT_EQ(fake.transferCalls[0].pipe, 0x81);
    EXPECT_EQ(fake.transferCalls[0].buffer, buffer);
    EXPECT_EQ(fake.transferCalls[0].length, 5u);
    EXPECT_EQ(fake.waitLimits, c.waits1000 ? std::vector<DWORD>{1000} : std::vector<DWORD>{});
    EXPECT_EQ(fake.CallCount("CancelIo"), c.cancels ? 1 : 0);
    EXPECT_FALSE(fake.TransferOutstanding()) << "returned while the read could still fill the buffer";
    EXPECT_EQ(fake.deviceFiles.Held(), 1) << "ReadPoll never closes";
}

INSTANTIATE_TEST_SUITE_P(Polls, ReadPollTest, ::testing::ValuesIn(PollCases()),
                         [](const ::testing::TestParamInfo<PollCase>& info) { return info.param.name; });

}  // namespace
