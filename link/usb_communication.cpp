#include "usb_communication.h"

#include <cstddef>

#include "usb_system_platform.h"

namespace {

const wchar_t kWritePipeFailed[] = L"WinUsb_WritePipe Failed\r\n";
const wchar_t kWriteTimedOut[] = L"USB write time out Error !!\r\n";
const wchar_t kReadPipeFailed[] = L"WinUsb_ReadPipe Failed\r\n";
const wchar_t kReadResultFailed[] = L"WinUSB Read OverlappedResult Error\r\n";
const wchar_t kReadTimedOut[] = L"USB Read time out Error !!\r\n";

// Size of the detail record's fixed part as SetupAPI expects it in cbSize.
constexpr DWORD kDetailFixedSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);

}  // namespace

CUSBCommunication::CUSBCommunication() : CUSBCommunication(SystemUsbPlatform()) {}

CUSBCommunication::CUSBCommunication(const UsbPlatform& platform) : m_platform(platform) {}

CUSBCommunication::~CUSBCommunication() { Close(); }

int CUSBCommunication::Open() {
    Close();
    int found = 0;
    for (int attempt = 0; attempt < kOpenAttempts && !found; ++attempt) found = FindDevice();
    return found;
}

int CUSBCommunication::FindDevice() {
    HDEVINFO set = m_platform.SetupDiGetClassDevsW(&GUID_DEVINTERFACE_USB_DEVICE, nullptr, nullptr, kDeviceSetFlags);
    if (set == INVALID_HANDLE_VALUE || set == nullptr) return 0;
    m_hDevInfo = set;

    SP_DEVICE_INTERFACE_DATA interfaceData = {};
    interfaceData.cbSize = sizeof(interfaceData);
    for (DWORD index = 0;; ++index) {
        if (!m_platform.SetupDiEnumDeviceInterfaces(m_hDevInfo, nullptr, &GUID_DEVINTERFACE_USB_DEVICE, index,
                                                    &interfaceData))
            break;

        DWORD requiredSize = 0;
        if (m_platform.SetupDiGetDeviceInterfaceDetailW(m_hDevInfo, &interfaceData, nullptr, 0, &requiredSize,
                                                        nullptr) ||
            m_platform.GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            break;
        // A size that cannot hold the record and one character is no detail
        // we could read; the block's size also bounds the path compare.
        if (requiredSize < offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) + sizeof(WCHAR)) break;

        m_pDetailData = static_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_W>(m_platform.AllocateDetail(requiredSize));
        if (!m_pDetailData) break;
        m_pDetailData->cbSize = kDetailFixedSize;
        if (!m_platform.SetupDiGetDeviceInterfaceDetailW(m_hDevInfo, &interfaceData, m_pDetailData, requiredSize,
                                                         nullptr, nullptr))
            break;

        if (!PathHasPrefix(requiredSize)) {
            m_platform.FreeDetail(m_pDetailData);
            m_pDetailData = nullptr;
            continue;
        }
        m_strDeviceName = kDeviceName;
        if (OpenDevice()) return 1;
        break;
    }
    Close();
    return 0;
}

bool CUSBCommunication::PathHasPrefix(DWORD detailSize) const {
    const std::size_t unitsInBlock =
        (detailSize - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) / sizeof(WCHAR);
    const WCHAR* path = m_pDetailData->DevicePath;
    for (int i = 0; i < kDevicePathPrefixLength; ++i) {
        // The path ends at its terminator or at the end of the block.
        if (static_cast<std::size_t>(i) >= unitsInBlock || path[i] != kDevicePathPrefix[i]) return false;
    }
    return true;
}

int CUSBCommunication::OpenDevice() {
    if (!m_pDetailData) return 0;

    HANDLE device = m_platform.CreateFileW(m_pDetailData->DevicePath, GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (device == INVALID_HANDLE_VALUE || device == nullptr) return 0;
    m_hDevice = device;

    WINUSB_INTERFACE_HANDLE winUsb = nullptr;
    if (!m_platform.WinUsb_Initialize(m_hDevice, &winUsb) || winUsb == nullptr) return 0;
    m_hWinUsb = winUsb;

    USB_INTERFACE_DESCRIPTOR interfaceDescriptor = {};
    if (!m_platform.WinUsb_QueryInterfaceSettings(m_hWinUsb, 0, &interfaceDescriptor)) return 0;

    m_bulkInPipeId = 0;
    m_bulkOutPipeId = 0;
    for (UCHAR pipeIndex = 0; pipeIndex < interfaceDescriptor.bNumEndpoints; ++pipeIndex) {
        WINUSB_PIPE_INFORMATION pipe = {};
        if (!m_platform.WinUsb_QueryPipe(m_hWinUsb, 0, pipeIndex, &pipe)) return 0;
        if (pipe.PipeType != UsbdPipeTypeBulk) continue;
        if (pipe.PipeId & 0x80)
            m_bulkInPipeId = pipe.PipeId;
        else
            m_bulkOutPipeId = pipe.PipeId;
    }
    return m_bulkInPipeId != 0 && m_bulkOutPipeId != 0;
}

void CUSBCommunication::Close() {
    if (m_pDetailData) {
        m_platform.FreeDetail(m_pDetailData);
        m_pDetailData = nullptr;
    }
    if (m_hDevInfo) {
        m_platform.SetupDiDestroyDeviceInfoList(m_hDevInfo);
        m_hDevInfo = nullptr;
    }
    if (m_hWinUsb) {
        m_platform.WinUsb_Free(m_hWinUsb);
        m_hWinUsb = nullptr;
    }
    if (m_hDevice) {
        m_platform.CloseHandle(m_hDevice);
        m_hDevice = nullptr;
    }
}

bool CUSBCommunication::IsOpen() const {
    return m_hDevInfo && m_pDetailData && m_hWinUsb && m_hDevice && m_bulkInPipeId && m_bulkOutPipeId;
}

void CUSBCommunication::CancelTransfer(OVERLAPPED& overlapped) {
    m_platform.CancelIo(m_hDevice);
    DWORD ignored = 0;
    m_platform.WinUsb_GetOverlappedResult(m_hWinUsb, &overlapped, &ignored, TRUE);
}

int CUSBCommunication::Write(const unsigned char* data, std::uint32_t length) {
    // Without a device there is nothing to hand the transfer to.
    if (!IsOpen()) throw CString(kWritePipeFailed);
    OVERLAPPED overlapped = {};
    for (;;) {
        DWORD count = 0;
        if (!m_platform.WinUsb_WritePipe(m_hWinUsb, m_bulkOutPipeId, const_cast<PUCHAR>(data), length, &count,
                                         &overlapped)) {
            if (m_platform.GetLastError() != ERROR_IO_PENDING) throw CString(kWritePipeFailed);
            const DWORD wait = m_platform.WaitForSingleObject(m_hDevice, m_dwWriteTimeout);
            if (wait == WAIT_TIMEOUT) {
                CancelTransfer(overlapped);
                Close();
                throw CString(kWriteTimedOut);
            }
            // A failed wait says nothing of the write; rather than wait on it
            // without limit, cancel it. One that finished first keeps its count.
            if (wait != WAIT_OBJECT_0) m_platform.CancelIo(m_hDevice);
            // A dead device would otherwise be written to again and again.
            if (!m_platform.WinUsb_GetOverlappedResult(m_hWinUsb, &overlapped, &count, TRUE))
                throw CString(kWritePipeFailed);
        }
        if (count == length || count != 0) return static_cast<int>(count);
    }
}

int CUSBCommunication::Read(unsigned char* buffer, std::uint32_t length) {
    if (!IsOpen()) throw CString(kReadPipeFailed);
    OVERLAPPED overlapped = {};
    for (;;) {
        DWORD count = 0;
        if (!m_platform.WinUsb_ReadPipe(m_hWinUsb, m_bulkInPipeId, buffer, length, &count, &overlapped)) {
            if (m_platform.GetLastError() != ERROR_IO_PENDING) throw CString(kReadPipeFailed);
            const DWORD wait = m_platform.WaitForSingleObject(m_hDevice, m_dwReadTimeout);
            if (wait == WAIT_TIMEOUT) {
                CancelTransfer(overlapped);
                Close();
                throw CString(kReadTimedOut);
            }
            if (wait != WAIT_OBJECT_0) {
                // The wait tells nothing of the read, which may still be
                // filling the caller's buffer.
                CancelTransfer(overlapped);
                throw CString(kReadPipeFailed);
            }
            if (!m_platform.WinUsb_GetOverlappedResult(m_hWinUsb, &overlapped, &count, TRUE))
                throw CString(kReadResultFailed);
        }
        if (count == length || count != 0) return static_cast<int>(count);
    }
}

int CUSBCommunication::ReadPoll(unsigned char* buffer, std::uint32_t length) {
    if (!IsOpen()) return 0;
    OVERLAPPED overlapped = {};
    DWORD count = 0;
    if (m_platform.WinUsb_ReadPipe(m_hWinUsb, m_bulkInPipeId, buffer, length, &count, &overlapped))
        return static_cast<int>(count);
    if (m_platform.GetLastError() != ERROR_IO_PENDING) return 0;
    if (m_platform.WaitForSingleObject(m_hDevice, kReadPollWait) != WAIT_OBJECT_0) {
        CancelTransfer(overlapped);
        return 0;
    }
    // A failed read reports no bytes, whatever the count holds.
    if (!m_platform.WinUsb_GetOverlappedResult(m_hWinUsb, &overlapped, &count, TRUE)) return 0;
    return static_cast<int>(count);
}

void CUSBCommunication::SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) {
    m_dwReadTimeout = readTimeoutMs;
    m_dwWriteTimeout = writeTimeoutMs;
}
