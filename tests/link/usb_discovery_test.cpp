// Finding the printer among the present USB interfaces and binding to its
// bulk pipes.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "usb_link_fixture.h"

namespace {

struct DiscoveryCase {
    const char* name;
    std::vector<FakeInterface> interfaces;
    int expectedResult;
    std::vector<std::wstring> expectedOpened;  // paths handed to CreateFileW
    std::vector<DWORD> expectedEnumerated;     // interface indexes examined
};

void PrintTo(const DiscoveryCase& c, std::ostream* os) { *os << c.name; }

const wchar_t kMouse[] = L"\\\\?\\usb#vid_046d&pid_c52b#5&2c6a1f&0&3#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
const wchar_t kUpperCase[] = L"\\\\?\\USB#VID_4C5A&PID_0E17#5&1a2b3c4d&0&1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
const wchar_t kLongerProduct[] = L"\\\\?\\usb#vid_4c5a&pid_0e170#5&1a2b3c4d&0&1";
const wchar_t kComposite[] = L"\\\\?\\usb#vid_4c5a&pid_0e17&mi_00#6&2b3c&0&0000";
const wchar_t kCutShort[] = L"\\\\?\\usb#vid_4c5a&pid_0e17";  // 25 units
const wchar_t kJustPrefix[] = L"\\\\?\\usb#vid_4c5a&pid_0e17#";

std::vector<DiscoveryCase> DiscoveryCases() {
    using F = FakeInterface;
    return {
        {"NoInterfaces", {}, 0, {}, {0}},
        {"OnlyOtherDevices", {{kMouse}}, 0, {}, {0, 1}},
        {"LetterCaseDiffers", {{kUpperCase}}, 0, {}, {0, 1}},
        {"LongerProductId", {{kLongerProduct}}, 0, {}, {0, 1}},
        {"OtherCharacterAfterProductId", {{kComposite}}, 0, {}, {0, 1}},
        {"PathShorterThanPrefix", {{kCutShort}}, 0, {}, {0, 1}},
        {"PathIsExactlyThePrefix", {{kJustPrefix}}, 1, {kJustPrefix}, {0}},
        {"PrinterAfterOthers", {{kMouse}, {kUpperCase}, {kPrinterPath}}, 1, {kPrinterPath}, {0, 1, 2}},
        {"FirstOfTwoPrinters", {{kPrinterPath}, {kOtherPrinterPath}}, 1, {kPrinterPath}, {0}},
        {"SizeQueryFailureEndsSearch", {{kMouse, F::kSizeQueryFails}, {kPrinterPath}}, 0, {}, {0}},
        {"FetchFailureEndsSearch", {{kMouse, F::kFetchFails}, {kPrinterPath}}, 0, {}, {0}},
        {"FetchFailureOnPrinter", {{kPrinterPath, F::kFetchFails}}, 0, {}, {0}},
    };
}

class DiscoveryTest : public UsbLinkTest, public ::testing::WithParamInterface<DiscoveryCase> {};

TEST_P(DiscoveryTest, OpensTheFirstInterfaceWhosePathBeginsWithThePrefix) {
    const DiscoveryCase& c = GetParam();
    fake.interfaces = c.interfaces;

    EXPECT_EQ(link->Open(), c.expectedResult);

    EXPECT_EQ(fake.openedPaths, c.expectedOpened);
    EXPECT_EQ(fake.enumeratedIndexes, c.expectedEnumerated);
    if (c.expectedResult == 0) {
        EXPECT_TRUE(fake.Balanced());
    } else {
        EXPECT_EQ(fake.deviceSets.Held(), 1);
        EXPECT_EQ(fake.detailBlocks.Held(), 1);
        EXPECT_EQ(fake.deviceFiles.Held(), 1);
        EXPECT_EQ(fake.winUsbHandles.Held(), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, DiscoveryTest, ::testing::ValuesIn(DiscoveryCases()),
                         [](const ::testing::TestParamInfo<DiscoveryCase>& info) { return info.param.name; });

TEST_F(UsbLinkTest, NonMatchingDetailBlocksAreFreedBeforeTheNextInterface) {
    fake.AddInterface(kMouse);
    fake.AddInterface(kUpperCase);
    fake.AddInterface(kPrinterPath);

    ASSERT_EQ(link->Open(), 1);

    // Never more than one detail block at a time: each miss gives its block back.
    const std::vector<std::string> expected = {
        "SetupDiGetClassDevsW",
        "SetupDiEnumDeviceInterfaces", "SetupDiGetDeviceInterfaceDetailW", "malloc", "SetupDiGetDeviceInterfaceDetailW", "free",
        "SetupDiEnumDeviceInterfaces", "SetupDiGetDeviceInterfaceDetailW", "malloc", "SetupDiGetDeviceInterfaceDetailW", "free",
        "SetupDiEnumDeviceInterfaces", "SetupDiGetDeviceInterfaceDetailW", "malloc", "SetupDiGetDeviceInterfaceDetailW",
        "CreateFileW", "WinUsb_Initialize", "WinUsb_QueryInterfaceSettings", "WinUsb_QueryPipe", "WinUsb_QueryPipe"};
    EXPECT_EQ(fake.calls, expected);
    EXPECT_EQ(fake.detailBlocks.acquired, 3);
}

TEST_F(UsbLinkTest, SetThatCannotBeObtainedGivesNoDeviceAndHoldsNothing) {
    fake.classDevsFails = true;
    fake.AddInterface(kPrinterPath);

    EXPECT_EQ(link->Open(), 0);

    EXPECT_EQ(fake.calls, std::vector<std::string>{"SetupDiGetClassDevsW"});
    EXPECT_TRUE(fake.Balanced());
}

TEST_F(UsbLinkTest, FailedDetailAllocationEndsTheSearch) {
    fake.allocationFails = true;
    fake.AddInterface(kPrinterPath);

    EXPECT_EQ(link->Open(), 0);

    EXPECT_EQ(fake.CallCount("CreateFileW"), 0);
    EXPECT_TRUE(fake.Balanced());
}

// Each way the first matching printer can fail to open; the second printer
// must not be tried and everything must be given back.
struct OpenFailureCase {
    const char* name;
    void (*arrange)(FakeUsbPlatform&);
};

void PrintTo(const OpenFailureCase& c, std::ostream* os) { *os << c.name; }

class OpenFailureTest : public UsbLinkTest, public ::testing::WithParamInterface<OpenFailureCase> {};

TEST_P(OpenFailureTest, FirstMatchThatCannotBeOpenedEndsTheSearch) {
    fake.AddInterface(kPrinterPath);
    fake.AddInterface(kOtherPrinterPath);
    GetParam().arrange(fake);

    EXPECT_EQ(link->Open(), 0);

    EXPECT_EQ(fake.openedPaths, std::vector<std::wstring>{kPrinterPath});
    EXPECT_EQ(fake.enumeratedIndexes, std::vector<DWORD>{0});
    EXPECT_TRUE(fake.Balanced());
}

INSTANTIATE_TEST_SUITE_P(
    Failures, OpenFailureTest,
    ::testing::Values(
        OpenFailureCase{"CreateFileFails", [](FakeUsbPlatform& f) { f.createFileFails = true; }},
        OpenFailureCase{"InitializeFails", [](FakeUsbPlatform& f) { f.initializeFails = true; }},
        OpenFailureCase{"InterfaceSettingsFail", [](FakeUsbPlatform& f) { f.interfaceSettingsFails = true; }},
        OpenFailureCase{"FirstPipeQueryFails", [](FakeUsbPlatform& f) { f.queryPipeFailsAt = 0; }},
        OpenFailureCase{"LastPipeQueryFails", [](FakeUsbPlatform& f) { f.queryPipeFailsAt = 1; }},
        OpenFailureCase{"NoBulkOutPipe", [](FakeUsbPlatform& f) { f.pipes = {{UsbdPipeTypeBulk, 0x81}}; }}),
    [](const ::testing::TestParamInfo<OpenFailureCase>& info) { return info.param.name; });

struct PipeCase {
    const char* name;
    std::vector<FakePipe> pipes;
    int expectedResult;
    UCHAR expectedIn;
    UCHAR expectedOut;
};

void PrintTo(const PipeCase& c, std::ostream* os) { *os << c.name; }

std::vector<PipeCase> PipeCases() {
    const USBD_PIPE_TYPE bulk = UsbdPipeTypeBulk, interrupt = UsbdPipeTypeInterrupt, iso = UsbdPipeTypeIsochronous;
    return {
        {"InAndOut", {{bulk, 0x81}, {bulk, 0x02}}, 1, 0x81, 0x02},
        {"OutBeforeIn", {{bulk, 0x01}, {bulk, 0x82}}, 1, 0x82, 0x01},
        {"BulkInOnly", {{bulk, 0x81}}, 0, 0, 0},
        {"BulkOutOnly", {{bulk, 0x02}}, 0, 0, 0},
        {"NoEndpoints", {}, 0, 0, 0},
        {"LaterBulkInWins", {{bulk, 0x81}, {bulk, 0x02}, {bulk, 0x83}}, 1, 0x83, 0x02},
        {"LaterBulkOutWins", {{bulk, 0x02}, {bulk, 0x81}, {bulk, 0x04}}, 1, 0x81, 0x04},
        {"OtherTypesPassedOver", {{interrupt, 0x85}, {bulk, 0x81}, {iso, 0x06}, {bulk, 0x02}, {interrupt, 0x87}}, 1, 0x81, 0x02},
        {"InterruptPairIsNotEnough", {{interrupt, 0x81}, {interrupt, 0x02}}, 0, 0, 0},
        {"InterruptInDoesNotStandInForBulkIn", {{interrupt, 0x81}, {bulk, 0x02}}, 0, 0, 0},
    };
}

class PipeTest : public UsbLinkTest, public ::testing::WithParamInterface<PipeCase> {};

TEST_P(PipeTest, UsesTheLastBulkPipeOfEachDirection) {
    const PipeCase& c = GetParam();
    fake.pipes = c.pipes;
    fake.AddInterface(kPrinterPath);

    ASSERT_EQ(link->Open(), c.expectedResult);

    std::vector<UCHAR> allIndexes;
    for (std::size_t i = 0; i < c.pipes.size(); ++i) allIndexes.push_back(static_cast<UCHAR>(i));
    EXPECT_EQ(fake.queriedPipeIndexes, allIndexes);
    if (c.expectedResult == 0) {
        EXPECT_TRUE(fake.Balanced());
        return;
    }
    // The pipe ids show in the transfers.
    unsigned char byte = 0;
    fake.transfers = {FakeTransfer::Now(1), FakeTransfer::Now(1)};
    link->Write(&byte, 1);
    link->Read(&byte, 1);
    ASSERT_EQ(fake.transferCalls.size(), 2u);
    EXPECT_EQ(fake.transferCalls[0].pipe, c.expectedOut);
    EXPECT_EQ(fake.transferCalls[1].pipe, c.expectedIn);
}

INSTANTIATE_TEST_SUITE_P(Layouts, PipeTest, ::testing::ValuesIn(PipeCases()),
                         [](const ::testing::TestParamInfo<PipeCase>& info) { return info.param.name; });

}  // namespace
