#include "fake_usb_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

const wchar_t kPrinterPath[] =
    L"\\\\?\\usb#vid_4c5a&pid_0e17#5&1a2b3c4d&0&1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
const wchar_t kOtherPrinterPath[] =
    L"\\\\?\\usb#vid_4c5a&pid_0e17#5&1a2b3c4d&0&2#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";

namespace {

const GUID kUsbDeviceClass = {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

FakeUsbPlatform* g_current = nullptr;

FakeUsbPlatform& Current() {
    if (!g_current) std::abort();  // a link outlived its fake platform
    return *g_current;
}

HDEVINFO WINAPI ThunkGetClassDevs(const GUID* g, PCWSTR e, HWND w, DWORD f) { return Current().GetClassDevs(g, e, w, f); }
BOOL WINAPI ThunkEnum(HDEVINFO s, PSP_DEVINFO_DATA i, const GUID* g, DWORD n, PSP_DEVICE_INTERFACE_DATA d) {
    return Current().EnumInterfaces(s, i, g, n, d);
}
BOOL WINAPI ThunkDetail(HDEVINFO s, PSP_DEVICE_INTERFACE_DATA d, PSP_DEVICE_INTERFACE_DETAIL_DATA_W b, DWORD n,
                        PDWORD r, PSP_DEVINFO_DATA i) {
    return Current().InterfaceDetail(s, d, b, n, r, i);
}
BOOL WINAPI ThunkDestroy(HDEVINFO s) { return Current().DestroyList(s); }
HANDLE WINAPI ThunkCreateFile(LPCWSTR p, DWORD a, DWORD s, LPSECURITY_ATTRIBUTES sa, DWORD d, DWORD f, HANDLE t) {
    return Current().CreateDevice(p, a, s, sa, d, f, t);
}
BOOL WINAPI ThunkInitialize(HANDLE d, PWINUSB_INTERFACE_HANDLE w) { return Current().Initialize(d, w); }
BOOL WINAPI ThunkSettings(WINUSB_INTERFACE_HANDLE w, UCHAR a, PUSB_INTERFACE_DESCRIPTOR d) {
    return Current().InterfaceSettings(w, a, d);
}
BOOL WINAPI ThunkQueryPipe(WINUSB_INTERFACE_HANDLE w, UCHAR a, UCHAR i, PWINUSB_PIPE_INFORMATION p) {
    return Current().QueryPipe(w, a, i, p);
}
BOOL WINAPI ThunkWrite(WINUSB_INTERFACE_HANDLE w, UCHAR p, PUCHAR b, ULONG n, PULONG c, LPOVERLAPPED o) {
    return Current().Transfer(false, w, p, b, n, c, o);
}
BOOL WINAPI ThunkRead(WINUSB_INTERFACE_HANDLE w, UCHAR p, PUCHAR b, ULONG n, PULONG c, LPOVERLAPPED o) {
    return Current().Transfer(true, w, p, b, n, c, o);
}
BOOL WINAPI ThunkResult(WINUSB_INTERFACE_HANDLE w, LPOVERLAPPED o, LPDWORD c, BOOL b) {
    return Current().OverlappedResult(w, o, c, b);
}
BOOL WINAPI ThunkFree(WINUSB_INTERFACE_HANDLE w) { return Current().FreeWinUsb(w); }
DWORD WINAPI ThunkWait(HANDLE h, DWORD ms) { return Current().Wait(h, ms); }
BOOL WINAPI ThunkCancel(HANDLE h) { return Current().Cancel(h); }
BOOL WINAPI ThunkClose(HANDLE h) { return Current().Close(h); }
DWORD WINAPI ThunkLastError() { return Current().LastError(); }
void* ThunkAllocate(std::size_t n) { return Current().Allocate(n); }
void ThunkRelease(void* p) { Current().Release(p); }

std::uintptr_t Key(const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); }

}  // namespace

FakeUsbPlatform::FakeUsbPlatform() {
    if (g_current) std::abort();
    g_current = this;
}

FakeUsbPlatform::~FakeUsbPlatform() {
    for (auto& block : m_liveBlocks) std::free(block.first);
    g_current = nullptr;
}

UsbPlatform FakeUsbPlatform::Table() const {
    UsbPlatform t;
    t.SetupDiGetClassDevsW = ThunkGetClassDevs;
    t.SetupDiEnumDeviceInterfaces = ThunkEnum;
    t.SetupDiGetDeviceInterfaceDetailW = ThunkDetail;
    t.SetupDiDestroyDeviceInfoList = ThunkDestroy;
    t.WinUsb_Initialize = ThunkInitialize;
    t.WinUsb_QueryInterfaceSettings = ThunkSettings;
    t.WinUsb_QueryPipe = ThunkQueryPipe;
    t.WinUsb_WritePipe = ThunkWrite;
    t.WinUsb_ReadPipe = ThunkRead;
    t.WinUsb_GetOverlappedResult = ThunkResult;
    t.WinUsb_Free = ThunkFree;
    t.CreateFileW = ThunkCreateFile;
    t.WaitForSingleObject = ThunkWait;
    t.CancelIo = ThunkCancel;
    t.CloseHandle = ThunkClose;
    t.GetLastError = ThunkLastError;
    t.AllocateDetail = ThunkAllocate;
    t.FreeDetail = ThunkRelease;
    return t;
}

int FakeUsbPlatform::CallCount(const std::string& name) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), name));
}

std::vector<std::string> FakeUsbPlatform::CallsSince(std::size_t from) const {
    return std::vector<std::string>(calls.begin() + std::min(from, calls.size()), calls.end());
}

bool FakeUsbPlatform::HoldsNothing() const {
    return deviceSets.Held() == 0 && detailBlocks.Held() == 0 && deviceFiles.Held() == 0 &&
           winUsbHandles.Held() == 0;
}

bool FakeUsbPlatform::Balanced() const {
    return HoldsNothing() && m_liveSets.empty() && m_liveFiles.empty() && m_liveWinUsb.empty() &&
           m_liveBlocks.empty() && !m_outstanding.active;
}

HDEVINFO FakeUsbPlatform::GetClassDevs(const GUID* guid, PCWSTR enumerator, HWND window, DWORD flags) {
    calls.push_back("SetupDiGetClassDevsW");
    EXPECT_TRUE(guid && IsEqualGUID(*guid, kUsbDeviceClass));
    EXPECT_EQ(enumerator, nullptr);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(flags, static_cast<DWORD>(DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (classDevsFails) {
        m_lastError = ERROR_INVALID_PARAMETER;
        return INVALID_HANDLE_VALUE;
    }
    std::uintptr_t handle = m_nextHandle++;
    m_liveSets.insert(handle);
    ++deviceSets.acquired;
    return reinterpret_cast<HDEVINFO>(handle);
}

BOOL FakeUsbPlatform::EnumInterfaces(HDEVINFO set, PSP_DEVINFO_DATA info, const GUID* guid, DWORD index,
                                     PSP_DEVICE_INTERFACE_DATA data) {
    calls.push_back("SetupDiEnumDeviceInterfaces");
    enumeratedIndexes.push_back(index);
    EXPECT_TRUE(m_liveSets.count(Key(set)));
    EXPECT_EQ(info, nullptr);
    EXPECT_TRUE(guid && IsEqualGUID(*guid, kUsbDeviceClass));
    EXPECT_TRUE(data && data->cbSize == sizeof(SP_DEVICE_INTERFACE_DATA));
    EXPECT_EQ(sizeof(SP_DEVICE_INTERFACE_DATA), 28u);
    if (index >= interfaces.size() || !data) {
        m_lastError = ERROR_NO_MORE_ITEMS;
        return FALSE;
    }
    data->InterfaceClassGuid = kUsbDeviceClass;
    data->Flags = SPINT_ACTIVE;
    data->Reserved = index + 1;  // tells the detail query which interface is meant
    return TRUE;
}

BOOL FakeUsbPlatform::InterfaceDetail(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA data,
                                      PSP_DEVICE_INTERFACE_DETAIL_DATA_W detail, DWORD size, PDWORD required,
                                      PSP_DEVINFO_DATA info) {
    calls.push_back("SetupDiGetDeviceInterfaceDetailW");
    EXPECT_TRUE(m_liveSets.count(Key(set)));
    EXPECT_EQ(info, nullptr);
    if (!data || data->Reserved == 0 || data->Reserved > interfaces.size()) {
        ADD_FAILURE() << "detail asked for an interface that was not enumerated";
        m_lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    const FakeInterface& item = interfaces[data->Reserved - 1];
    const DWORD needed =
        static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) + (item.path.size() + 1) * 2);
    if (!detail) {
        EXPECT_EQ(size, 0u);
        EXPECT_NE(required, nullptr);
        // Filled in even when the call fails otherwise: only the error
        // tells the two apart.
        if (required) *required = needed;
        if (item.failure == FakeInterface::kSizeQueryFails) {
            m_lastError = ERROR_INVALID_USER_BUFFER;
            return FALSE;
        }
        m_lastError = ERROR_INSUFFICIENT_BUFFER;
        return FALSE;
    }
    EXPECT_EQ(required, nullptr);
    EXPECT_EQ(detail->cbSize, 6u);  // the fixed part of the record in a 32-bit process
    auto block = m_liveBlocks.find(detail);
    EXPECT_TRUE(block != m_liveBlocks.end()) << "detail block not from the heap seam";
    EXPECT_GE(size, needed);
    if (block != m_liveBlocks.end()) {
        EXPECT_LE(size, block->second);
    }
    if (item.failure == FakeInterface::kFetchFails || size < needed) {
        m_lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    std::memcpy(detail->DevicePath, item.path.c_str(), (item.path.size() + 1) * 2);
    return TRUE;
}

BOOL FakeUsbPlatform::DestroyList(HDEVINFO set) {
    calls.push_back("SetupDiDestroyDeviceInfoList");
    EXPECT_EQ(m_liveSets.erase(Key(set)), 1u) << "destroyed a set that is not held";
    ++deviceSets.released;
    return TRUE;
}

void* FakeUsbPlatform::Allocate(std::size_t size) {
    calls.push_back("malloc");
    if (allocationFails) return nullptr;
    void* block = std::malloc(size);
    m_liveBlocks[block] = size;
    ++detailBlocks.acquired;
    return block;
}

void FakeUsbPlatform::Release(void* block) {
    calls.push_back("free");
    auto found = m_liveBlocks.find(block);
    if (found == m_liveBlocks.end()) {
        ADD_FAILURE() << "freed a block that is not held";
        return;
    }
    m_liveBlocks.erase(found);
    std::free(block);
    ++detailBlocks.released;
}

HANDLE FakeUsbPlatform::CreateDevice(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                     DWORD disposition, DWORD flags, HANDLE templateFile) {
    calls.push_back("CreateFileW");
    openedPaths.push_back(path ? path : L"");
    EXPECT_EQ(access, static_cast<DWORD>(GENERIC_READ | GENERIC_WRITE));
    EXPECT_EQ(share, static_cast<DWORD>(FILE_SHARE_READ | FILE_SHARE_WRITE));
    EXPECT_EQ(security, nullptr);
    EXPECT_EQ(disposition, static_cast<DWORD>(OPEN_EXISTING));
    EXPECT_EQ(flags, static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED));
    EXPECT_EQ(templateFile, nullptr);
    if (createFileFails) {
        m_lastError = ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    std::uintptr_t handle = m_nextHandle++;
    m_liveFiles.insert(handle);
    ++deviceFiles.acquired;
    return reinterpret_cast<HANDLE>(handle);
}

BOOL FakeUsbPlatform::Initialize(HANDLE device, PWINUSB_INTERFACE_HANDLE winUsb) {
    calls.push_back("WinUsb_Initialize");
    EXPECT_TRUE(m_liveFiles.count(Key(device)));
    if (initializeFails) {
        m_lastError = ERROR_NOT_SUPPORTED;
        return FALSE;
    }
    std::uintptr_t handle = m_nextHandle++;
    m_liveWinUsb.insert(handle);
    ++winUsbHandles.acquired;
    *winUsb = reinterpret_cast<WINUSB_INTERFACE_HANDLE>(handle);
    return TRUE;
}

BOOL FakeUsbPlatform::InterfaceSettings(WINUSB_INTERFACE_HANDLE winUsb, UCHAR alternate,
                                        PUSB_INTERFACE_DESCRIPTOR descriptor) {
    calls.push_back("WinUsb_QueryInterfaceSettings");
    EXPECT_TRUE(m_liveWinUsb.count(Key(winUsb)));
    EXPECT_EQ(alternate, 0);
    if (interfaceSettingsFails) {
        m_lastError = ERROR_GEN_FAILURE;
        return FALSE;
    }
    std::memset(descriptor, 0, sizeof(*descriptor));
    descriptor->bLength = sizeof(*descriptor);
    descriptor->bDescriptorType = USB_INTERFACE_DESCRIPTOR_TYPE;
    descriptor->bNumEndpoints = static_cast<UCHAR>(pipes.size());
    descriptor->bInterfaceClass = 0xFF;
    return TRUE;
}

BOOL FakeUsbPlatform::QueryPipe(WINUSB_INTERFACE_HANDLE winUsb, UCHAR alternate, UCHAR index,
                                PWINUSB_PIPE_INFORMATION pipe) {
    calls.push_back("WinUsb_QueryPipe");
    queriedPipeIndexes.push_back(index);
    EXPECT_TRUE(m_liveWinUsb.count(Key(winUsb)));
    EXPECT_EQ(alternate, 0);
    if (index == queryPipeFailsAt || index >= pipes.size()) {
        EXPECT_LT(index, pipes.size()) << "asked for a pipe the interface does not have";
        m_lastError = ERROR_NO_MORE_ITEMS;
        return FALSE;
    }
    pipe->PipeType = pipes[index].type;
    pipe->PipeId = pipes[index].id;
    pipe->MaximumPacketSize = 64;
    pipe->Interval = 0;
    return TRUE;
}

void FakeUsbPlatform::Deliver(bool read, PUCHAR buffer, DWORD count) {
    // What a read brings: 1, 2, 3, ... so a test can see the bytes landed.
    if (read)
        for (DWORD i = 0; i < count; ++i) buffer[i] = static_cast<UCHAR>(i + 1);
}

BOOL FakeUsbPlatform::Transfer(bool read, WINUSB_INTERFACE_HANDLE winUsb, UCHAR pipe, PUCHAR buffer, ULONG length,
                               PULONG count, LPOVERLAPPED overlapped) {
    calls.push_back(read ? "WinUsb_ReadPipe" : "WinUsb_WritePipe");
    transferCalls.push_back({read, pipe, buffer, length, overlapped});
    if (!m_liveWinUsb.count(Key(winUsb))) {
        m_lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    EXPECT_FALSE(m_outstanding.active) << "a transfer started while another was outstanding";
    EXPECT_NE(count, nullptr);
    EXPECT_NE(overlapped, nullptr);
    if (overlapped) {
        EXPECT_EQ(overlapped->hEvent, nullptr);
    }
    if (transfers.empty()) {
        ADD_FAILURE() << "unscripted transfer";
        m_lastError = ERROR_GEN_FAILURE;
        return FALSE;
    }
    FakeTransfer t = transfers.front();
    transfers.pop_front();
    EXPECT_LE(t.count, length) << "script delivers more than was asked for";
    switch (t.kind) {
    case FakeTransfer::kImmediate:
        Deliver(read, buffer, t.count);
        *count = t.count;
        return TRUE;
    case FakeTransfer::kFails:
        m_lastError = t.error;
        return FALSE;
    default:
        m_outstanding = Outstanding{true, false, read, t, buffer, overlapped};
        m_lastError = ERROR_IO_PENDING;
        return FALSE;
    }
}

BOOL FakeUsbPlatform::OverlappedResult(WINUSB_INTERFACE_HANDLE winUsb, LPOVERLAPPED overlapped, LPDWORD count,
                                       BOOL wait) {
    calls.push_back("WinUsb_GetOverlappedResult");
    EXPECT_TRUE(m_liveWinUsb.count(Key(winUsb)));
    EXPECT_TRUE(wait);
    if (!m_outstanding.active) {
        ADD_FAILURE() << "completion asked for with no transfer outstanding";
        m_lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    EXPECT_EQ(overlapped, m_outstanding.overlapped);
    Outstanding ended = m_outstanding;
    m_outstanding = Outstanding{};
    if (ended.cancelled && !ended.transfer.finishedBeforeCancel) {
        *count = 0;
        m_lastError = ERROR_OPERATION_ABORTED;
        return FALSE;
    }
    switch (ended.transfer.kind) {
    case FakeTransfer::kPendingCompletes:
        Deliver(ended.read, ended.buffer, ended.transfer.count);
        *count = ended.transfer.count;
        return TRUE;
    case FakeTransfer::kPendingFails:
        *count = ended.transfer.count;
        m_lastError = ended.transfer.error;
        return FALSE;
    default:
        ADD_FAILURE() << "waited for a transfer that never ends without cancelling it";
        *count = 0;
        m_lastError = ERROR_OPERATION_ABORTED;
        return FALSE;
    }
}

BOOL FakeUsbPlatform::FreeWinUsb(WINUSB_INTERFACE_HANDLE winUsb) {
    calls.push_back("WinUsb_Free");
    EXPECT_FALSE(m_outstanding.active) << "WinUSB handle freed under an outstanding transfer";
    EXPECT_EQ(m_liveWinUsb.erase(Key(winUsb)), 1u) << "freed a WinUSB handle that is not held";
    ++winUsbHandles.released;
    return TRUE;
}

DWORD FakeUsbPlatform::Wait(HANDLE handle, DWORD milliseconds) {
    calls.push_back("WaitForSingleObject");
    waitLimits.push_back(milliseconds);
    EXPECT_TRUE(m_liveFiles.count(Key(handle))) << "waited on something other than the device";
    if (!waitResults.empty()) {
        DWORD result = waitResults.front();
        waitResults.pop_front();
        return result;
    }
    return m_outstanding.active && m_outstanding.transfer.kind == FakeTransfer::kPendingHangs ? WAIT_TIMEOUT
                                                                                               : WAIT_OBJECT_0;
}

BOOL FakeUsbPlatform::Cancel(HANDLE handle) {
    calls.push_back("CancelIo");
    EXPECT_TRUE(m_liveFiles.count(Key(handle)));
    if (m_outstanding.active) m_outstanding.cancelled = true;
    return TRUE;
}

BOOL FakeUsbPlatform::Close(HANDLE handle) {
    calls.push_back("CloseHandle");
    EXPECT_FALSE(m_outstanding.active) << "device closed under an outstanding transfer";
    EXPECT_TRUE(m_liveWinUsb.empty()) << "device closed before its WinUSB handle was freed";
    EXPECT_EQ(m_liveFiles.erase(Key(handle)), 1u) << "closed a handle that is not held";
    ++deviceFiles.released;
    return TRUE;
}
