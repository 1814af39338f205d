#pragma once
// A scripted stand-in for SetupAPI, WinUSB, kernel32 and the heap as the USB
// link sees them. It enumerates a list of device paths, plays scripted
// results for opening and for each transfer, records every call with its
// arguments, and counts every handle and heap block it hands out and gets
// back. Argument conventions the platform relies on are checked as the calls
// arrive. One instance at a time; it installs itself while it lives.
#include "link/usb_platform.h"

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

// A path that begins with the printer's prefix, as Windows would give it.
extern const wchar_t kPrinterPath[];
extern const wchar_t kOtherPrinterPath[];

struct FakeInterface {
    enum Failure { kNone, kSizeQueryFails, kFetchFails };
    std::wstring path;
    Failure failure = kNone;
};

struct FakePipe {
    USBD_PIPE_TYPE type;
    UCHAR id;
};

// What one WinUsb_ReadPipe or WinUsb_WritePipe call does.
struct FakeTransfer {
    enum Kind {
        kImmediate,         // TRUE at once with `count`
        kPendingCompletes,  // ERROR_IO_PENDING, then completes with `count`
        kFails,             // FALSE at once with `error`
        kPendingFails,      // ERROR_IO_PENDING, then the completion fails with `error`,
                            // reporting `count` bytes all the same
        kPendingHangs,      // ERROR_IO_PENDING, and it ends only when cancelled
    };
    Kind kind;
    DWORD count = 0;
    DWORD error = 0;
    bool finishedBeforeCancel = false;  // a cancel comes too late to stop it

    static FakeTransfer Now(DWORD n) { return {kImmediate, n, 0}; }
    static FakeTransfer Later(DWORD n) { return {kPendingCompletes, n, 0}; }
    static FakeTransfer Fail(DWORD error = ERROR_GEN_FAILURE) { return {kFails, 0, error}; }
    static FakeTransfer LaterFail(DWORD n = 0, DWORD error = ERROR_GEN_FAILURE) { return {kPendingFails, n, error}; }
    static FakeTransfer LaterDespiteCancel(DWORD n) { return {kPendingCompletes, n, 0, true}; }
    static FakeTransfer Hang() { return {kPendingHangs, 0, 0}; }
};

struct TransferCall {
    bool read;
    UCHAR pipe;
    const void* buffer;
    ULONG length;
    const OVERLAPPED* overlapped;
};

struct ResourceCount {
    int acquired = 0;
    int released = 0;
    int Held() const { return acquired - released; }
};

class FakeUsbPlatform {
public:
    FakeUsbPlatform();
    ~FakeUsbPlatform();
    FakeUsbPlatform(const FakeUsbPlatform&) = delete;
    FakeUsbPlatform& operator=(const FakeUsbPlatform&) = delete;

    UsbPlatform Table() const;

    // --- script ---
    bool classDevsFails = false;
    std::vector<FakeInterface> interfaces;
    bool allocationFails = false;
    bool createFileFails = false;
    bool initializeFails = false;
    bool interfaceSettingsFails = false;
    int queryPipeFailsAt = -1;
    std::vector<FakePipe> pipes = {{UsbdPipeTypeBulk, 0x81}, {UsbdPipeTypeBulk, 0x02}};
    std::deque<FakeTransfer> transfers;
    // Results of WaitForSingleObject in turn; when none is left, a wait ends
    // with WAIT_TIMEOUT while a hanging transfer is outstanding and with
    // WAIT_OBJECT_0 otherwise.
    std::deque<DWORD> waitResults;

    void AddInterface(const wchar_t* path, FakeInterface::Failure failure = FakeInterface::kNone) {
        interfaces.push_back({path, failure});
    }

    // --- record ---
    std::vector<std::string> calls;  // platform function names, in call order
    std::vector<DWORD> enumeratedIndexes;
    std::vector<std::wstring> openedPaths;
    std::vector<UCHAR> queriedPipeIndexes;
    std::vector<TransferCall> transferCalls;
    std::vector<DWORD> waitLimits;

    ResourceCount deviceSets, detailBlocks, deviceFiles, winUsbHandles;

    int CallCount(const std::string& name) const;
    // Calls recorded from `from` on, in order.
    std::vector<std::string> CallsSince(std::size_t from) const;
    bool HoldsNothing() const;
    bool Balanced() const;
    bool TransferOutstanding() const { return m_outstanding.active; }

    // --- the platform, reached through the table's thunks ---
    HDEVINFO GetClassDevs(const GUID* guid, PCWSTR enumerator, HWND window, DWORD flags);
    BOOL EnumInterfaces(HDEVINFO set, PSP_DEVINFO_DATA info, const GUID* guid, DWORD index,
                        PSP_DEVICE_INTERFACE_DATA data);
    BOOL InterfaceDetail(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA data, PSP_DEVICE_INTERFACE_DETAIL_DATA_W detail,
                         DWORD size, PDWORD required, PSP_DEVINFO_DATA info);
    BOOL DestroyList(HDEVINFO set);
    void* Allocate(std::size_t size);
    void Release(void* block);
    HANDLE CreateDevice(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                      DWORD flags, HANDLE templateFile);
    BOOL Initialize(HANDLE device, PWINUSB_INTERFACE_HANDLE winUsb);
    BOOL InterfaceSettings(WINUSB_INTERFACE_HANDLE winUsb, UCHAR alternate, PUSB_INTERFACE_DESCRIPTOR descriptor);
    BOOL QueryPipe(WINUSB_INTERFACE_HANDLE winUsb, UCHAR alternate, UCHAR index, PWINUSB_PIPE_INFORMATION pipe);
    BOOL Transfer(bool read, WINUSB_INTERFACE_HANDLE winUsb, UCHAR pipe, PUCHAR buffer, ULONG length,
                  PULONG count, LPOVERLAPPED overlapped);
    BOOL OverlappedResult(WINUSB_INTERFACE_HANDLE winUsb, LPOVERLAPPED overlapped, LPDWORD count, BOOL wait);
    BOOL FreeWinUsb(WINUSB_INTERFACE_HANDLE winUsb);
    DWORD Wait(HANDLE handle, DWORD milliseconds);
    BOOL Cancel(HANDLE handle);
    BOOL Close(HANDLE handle);
    DWORD LastError() const { return m_lastError; }

private:
    struct Outstanding {
        bool active = false;
        bool cancelled = false;
        bool read = false;
        FakeTransfer transfer{FakeTransfer::kImmediate};
        PUCHAR buffer = nullptr;
        const OVERLAPPED* overlapped = nullptr;
    };

    void Deliver(bool read, PUCHAR buffer, DWORD count);

    DWORD m_lastError = 0;
    std::uintptr_t m_nextHandle = 0x1000;
    std::set<std::uintptr_t> m_liveSets, m_liveFiles, m_liveWinUsb;
    std::map<void*, std::size_t> m_liveBlocks;
    Outstanding m_outstanding;
};
