#include "usb_system_platform.h"

#include <cstdlib>

namespace {

// Stand-ins for a library that is missing. Only the acquiring calls can be
// reached (the link releases only what was acquired), but every entry gets
// one so that no path calls through null.
HDEVINFO WINAPI NoClassDevs(const GUID*, PCWSTR, HWND, DWORD) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
}
BOOL WINAPI NoEnumInterfaces(HDEVINFO, PSP_DEVINFO_DATA, const GUID*, DWORD, PSP_DEVICE_INTERFACE_DATA) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
}
BOOL WINAPI NoInterfaceDetail(HDEVINFO, PSP_DEVICE_INTERFACE_DATA, PSP_DEVICE_INTERFACE_DETAIL_DATA_W, DWORD, PDWORD,
                              PSP_DEVINFO_DATA) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
}
BOOL WINAPI NoDestroyList(HDEVINFO) { return TRUE; }
BOOL WINAPI NoInitialize(HANDLE, PWINUSB_INTERFACE_HANDLE) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
}
BOOL WINAPI NoInterfaceSettings(WINUSB_INTERFACE_HANDLE, UCHAR, PUSB_INTERFACE_DESCRIPTOR) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
}
BOOL WINAPI NoQueryPipe(WINUSB_INTERFACE_HANDLE, UCHAR, UCHAR, PWINUSB_PIPE_INFORMATION) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
}
BOOL WINAPI NoTransfer(WINUSB_INTERFACE_HANDLE, UCHAR, PUCHAR, ULONG, PULONG, LPOVERLAPPED) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
}
BOOL WINAPI NoOverlappedResult(WINUSB_INTERFACE_HANDLE, LPOVERLAPPED, LPDWORD, BOOL) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
}
BOOL WINAPI NoFree(WINUSB_INTERFACE_HANDLE) { return TRUE; }

void* AllocateDetail(std::size_t size) { return std::malloc(size); }
void FreeDetail(void* block) { std::free(block); }

HMODULE LoadSystemLibrary(const wchar_t* name) { return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32); }

// Looks one export up; a miss clears `complete`.
template <typename Function>
void Bind(HMODULE library, const char* name, Function& slot, bool& complete) {
    FARPROC proc = library ? GetProcAddress(library, name) : nullptr;
    slot = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
    if (!proc) complete = false;
}

void BindSetupApi(UsbPlatform& p, const wchar_t* libraryName) {
    HMODULE library = LoadSystemLibrary(libraryName);
    bool complete = library != nullptr;
    Bind(library, "SetupDiGetClassDevsW", p.SetupDiGetClassDevsW, complete);
    Bind(library, "SetupDiEnumDeviceInterfaces", p.SetupDiEnumDeviceInterfaces, complete);
    Bind(library, "SetupDiGetDeviceInterfaceDetailW", p.SetupDiGetDeviceInterfaceDetailW, complete);
    Bind(library, "SetupDiDestroyDeviceInfoList", p.SetupDiDestroyDeviceInfoList, complete);
    if (complete) return;
    p.SetupDiGetClassDevsW = NoClassDevs;
    p.SetupDiEnumDeviceInterfaces = NoEnumInterfaces;
    p.SetupDiGetDeviceInterfaceDetailW = NoInterfaceDetail;
    p.SetupDiDestroyDeviceInfoList = NoDestroyList;
    if (library) FreeLibrary(library);
}

void BindWinUsb(UsbPlatform& p, const wchar_t* libraryName) {
    HMODULE library = LoadSystemLibrary(libraryName);
    bool complete = library != nullptr;
    Bind(library, "WinUsb_Initialize", p.WinUsb_Initialize, complete);
    Bind(library, "WinUsb_QueryInterfaceSettings", p.WinUsb_QueryInterfaceSettings, complete);
    Bind(library, "WinUsb_QueryPipe", p.WinUsb_QueryPipe, complete);
    Bind(library, "WinUsb_WritePipe", p.WinUsb_WritePipe, complete);
    Bind(library, "WinUsb_ReadPipe", p.WinUsb_ReadPipe, complete);
    Bind(library, "WinUsb_GetOverlappedResult", p.WinUsb_GetOverlappedResult, complete);
    Bind(library, "WinUsb_Free", p.WinUsb_Free, complete);
    if (complete) return;
    p.WinUsb_Initialize = NoInitialize;
    p.WinUsb_QueryInterfaceSettings = NoInterfaceSettings;
    p.WinUsb_QueryPipe = NoQueryPipe;
    p.WinUsb_WritePipe = NoTransfer;
    p.WinUsb_ReadPipe = NoTransfer;
    p.WinUsb_GetOverlappedResult = NoOverlappedResult;
    p.WinUsb_Free = NoFree;
    if (library) FreeLibrary(library);
}

void BindKernel(UsbPlatform& p) {
    p.CreateFileW = ::CreateFileW;
    p.WaitForSingleObject = ::WaitForSingleObject;
    p.CancelIo = ::CancelIo;
    p.CloseHandle = ::CloseHandle;
    p.GetLastError = ::GetLastError;
    p.AllocateDetail = AllocateDetail;
    p.FreeDetail = FreeDetail;
}

}  // namespace

UsbPlatform LoadUsbPlatform(const wchar_t* setupApiLibrary, const wchar_t* winUsbLibrary) {
    UsbPlatform platform;
    BindSetupApi(platform, setupApiLibrary);
    BindWinUsb(platform, winUsbLibrary);
    BindKernel(platform);
    return platform;
}

const UsbPlatform& SystemUsbPlatform() {
    // The libraries stay loaded for the life of the process.
    static const UsbPlatform platform = LoadUsbPlatform(L"setupapi.dll", L"winusb.dll");
    return platform;
}
