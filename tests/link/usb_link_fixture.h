#pragma once
// A link over the scripted platform, and the check every test ends with:
// once the link is gone, everything it acquired has been released and no
// transfer is left running on a buffer that no longer exists.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "fake_usb_platform.h"
#include "framework/cstring.h"
#include "link/usb_communication.h"

class UsbLinkTest : public ::testing::Test {
protected:
    void SetUp() override { link = std::make_unique<CUSBCommunication>(fake.Table()); }
    void TearDown() override {
        link.reset();
        EXPECT_TRUE(fake.Balanced()) << "sets " << fake.deviceSets.Held() << ", blocks " << fake.detailBlocks.Held()
                                     << ", files " << fake.deviceFiles.Held() << ", WinUSB "
                                     << fake.winUsbHandles.Held();
    }

    // Opens the link on one printer with a bulk IN 0x81 and a bulk OUT 0x02.
    void OpenPrinter() {
        fake.AddInterface(kPrinterPath);
        ASSERT_EQ(link->Open(), 1);
    }

    FakeUsbPlatform fake;
    std::unique_ptr<CUSBCommunication> link;
};

// The text a call threw as a CString, or "(nothing thrown)".
inline std::u16string ThrownText(const std::function<void()>& call) {
    try {
        call();
    } catch (const CString& text) {
        return text.str();
    }
    return u"(nothing thrown)";
}

inline std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }
