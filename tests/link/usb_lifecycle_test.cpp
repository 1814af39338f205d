// Opening again, closing any number of times, and destruction: what the link
// holds is given back, in the order the WinUSB handle requires.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "usb_link_fixture.h"

namespace {

const std::vector<std::string> kReleaseOrder = {"free", "SetupDiDestroyDeviceInfoList", "WinUsb_Free", "CloseHandle"};

TEST_F(UsbLinkTest, CloseOnAFreshLinkTouchesNothing) {
    link->Close();
    link->Close();
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(UsbLinkTest, CloseReleasesInOrderAndOnlyOnce) {
    OpenPrinter();
    const std::size_t opened = fake.calls.size();

    link->Close();
    EXPECT_EQ(fake.CallsSince(opened), kReleaseOrder);
    EXPECT_TRUE(fake.Balanced());

    link->Close();
    EXPECT_EQ(fake.calls.size(), opened + kReleaseOrder.size());
}

TEST_F(UsbLinkTest, DestroyingAnOpenLinkReleasesEverything) {
    OpenPrinter();
    const std::size_t opened = fake.calls.size();

    link.reset();

    EXPECT_EQ(fake.CallsSince(opened), kReleaseOrder);
    EXPECT_TRUE(fake.Balanced());
}

TEST_F(UsbLinkTest, DestroyingAfterAFailedOpenIsHarmless) {
    fake.AddInterface(kPrinterPath);
    fake.initializeFails = true;
    ASSERT_EQ(link->Open(), 0);
    const std::size_t after = fake.calls.size();

    link->Close();
    link.reset();

    EXPECT_EQ(fake.calls.size(), after);
}

TEST_F(UsbLinkTest, SecondOpenReleasesTheFirstConnectionBeforeSearching) {
    OpenPrinter();
    const std::size_t opened = fake.calls.size();

    ASSERT_EQ(link->Open(), 1);

    std::vector<std::string> second = fake.CallsSince(opened);
    ASSERT_GE(second.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(second.begin(), second.begin() + 5),
              (std::vector<std::string>{"free", "SetupDiDestroyDeviceInfoList", "WinUsb_Free", "CloseHandle",
                                        "SetupDiGetClassDevsW"}));
    EXPECT_EQ(fake.deviceFiles.Held(), 1);
    EXPECT_EQ(fake.deviceFiles.acquired, 2);
}

TEST_F(UsbLinkTest, OpenAfterAFailedOpenFindsThePrinterThatAppeared) {
    EXPECT_EQ(link->Open(), 0);
    fake.AddInterface(kPrinterPath);
    EXPECT_EQ(link->Open(), 1);
    unsigned char buffer[2] = {};
    fake.transfers = {FakeTransfer::Now(2)};
    EXPECT_EQ(link->Write(buffer, 2), 2);
}

TEST_F(UsbLinkTest, EveryOpenAndCloseComesOutEven) {
    fake.AddInterface(kPrinterPath);
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(link->Open(), 1);
        link->Close();
        ASSERT_TRUE(fake.Balanced()) << "round " << round;
    }
    EXPECT_EQ(fake.deviceSets.acquired, 3);
    EXPECT_EQ(fake.detailBlocks.acquired, 3);
    EXPECT_EQ(fake.deviceFiles.acquired, 3);
    EXPECT_EQ(fake.winUsbHandles.acquired, 3);
}

}  // namespace
