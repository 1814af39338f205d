#pragma once
// The link to a printer on USB: the first present USB device interface whose
// path begins with the printer's vendor and product ids, opened through
// WinUSB, with one overlapped bulk transfer per Read or Write.
#include <cstdint>

#include "communication_base.h"
#include "framework/cstring.h"
#include "usb_platform.h"

class CUSBCommunication : public ICommunicationBase {
public:
    // Reaches the running system's SetupAPI and WinUSB.
    CUSBCommunication();
    // Reaches the given platform instead; the table is copied.
    explicit CUSBCommunication(const UsbPlatform& platform);
    ~CUSBCommunication() override;

    CUSBCommunication(const CUSBCommunication&) = delete;
    CUSBCommunication& operator=(const CUSBCommunication&) = delete;

    int Open() override;
    void Close() override;
    int Read(unsigned char* buffer, std::uint32_t length) override;
    int ReadPoll(unsigned char* buffer, std::uint32_t length) override;
    int Write(const unsigned char* data, std::uint32_t length) override;
    void SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) override;

    static constexpr GUID GUID_DEVINTERFACE_USB_DEVICE = {
        0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
    static constexpr DWORD kDeviceSetFlags = DIGCF_PRESENT | DIGCF_DEVICEINTERFACE;
    static constexpr wchar_t kDevicePathPrefix[] = L"\\\\?\\usb#vid_4c5a&pid_0e17#";
    static constexpr int kDevicePathPrefixLength = 26;  // the last unit is the '#' after the product id
    static_assert(sizeof(kDevicePathPrefix) / sizeof(wchar_t) == kDevicePathPrefixLength + 1, "prefix length");
    static constexpr int kOpenAttempts = 1;
    static constexpr DWORD kReadPollWait = 1000;
    static constexpr const wchar_t* kDeviceName = L"RI3";

private:
    int FindDevice();
    int OpenDevice();
    bool IsOpen() const;
    bool PathHasPrefix(DWORD detailSize) const;
    // Cancels the transfer still running on `overlapped` and waits until it
    // has let go of the caller's buffer and of the record.
    void CancelTransfer(OVERLAPPED& overlapped);

    CString m_strDeviceName;
    HDEVINFO m_hDevInfo = nullptr;
    PSP_DEVICE_INTERFACE_DETAIL_DATA_W m_pDetailData = nullptr;
    DWORD m_dwWriteTimeout = INFINITE;
    DWORD m_dwReadTimeout = INFINITE;
    WINUSB_INTERFACE_HANDLE m_hWinUsb = nullptr;
    HANDLE m_hDevice = nullptr;
    UCHAR m_bulkInPipeId = 0;
    UCHAR m_bulkOutPipeId = 0;

    UsbPlatform m_platform;
};
