/* The SetupAPI and WinUSB functions the simulator's test programs call,
 * loaded from the system directory as the updater loads them, so the
 * replacement DLLs there are the ones reached. */
#ifndef LMX_SIM_USB_API_H
#define LMX_SIM_USB_API_H

#include <windows.h>
#include <setupapi.h>
#include <winusb.h>

static const GUID kUsbDeviceGuid = {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

typedef BOOL(WINAPI* UsbPipeTransferFn)(WINUSB_INTERFACE_HANDLE, UCHAR, PUCHAR, ULONG, PULONG, LPOVERLAPPED);

struct UsbApi {
    HDEVINFO(WINAPI* getClassDevs)(const GUID*, PCWSTR, HWND, DWORD);
    BOOL(WINAPI* enumInterfaces)(HDEVINFO, PSP_DEVINFO_DATA, const GUID*, DWORD, PSP_DEVICE_INTERFACE_DATA);
    BOOL(WINAPI* getDetail)(HDEVINFO, PSP_DEVICE_INTERFACE_DATA, PSP_DEVICE_INTERFACE_DETAIL_DATA_W, DWORD, PDWORD,
                            PSP_DEVINFO_DATA);
    BOOL(WINAPI* destroyList)(HDEVINFO);
    BOOL(WINAPI* initialize)(HANDLE, PWINUSB_INTERFACE_HANDLE);
    BOOL(WINAPI* free)(WINUSB_INTERFACE_HANDLE);
    BOOL(WINAPI* querySettings)(WINUSB_INTERFACE_HANDLE, UCHAR, PUSB_INTERFACE_DESCRIPTOR);
    BOOL(WINAPI* queryPipe)(WINUSB_INTERFACE_HANDLE, UCHAR, UCHAR, PWINUSB_PIPE_INFORMATION);
    UsbPipeTransferFn writePipe;
    UsbPipeTransferFn readPipe;
    BOOL(WINAPI* overlappedResult)(WINUSB_INTERFACE_HANDLE, LPOVERLAPPED, LPDWORD, BOOL);
};

#define LMX_SIM_BIND(module, slot, name) ((*(FARPROC*)&(slot) = GetProcAddress(module, name)) != NULL)

/* 1 when both libraries and every function were found. */
static int LoadUsbApi(struct UsbApi* api)
{
    HMODULE setupapi = LoadLibraryExW(L"setupapi.dll", NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);
    HMODULE winusb = LoadLibraryExW(L"winusb.dll", NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return setupapi && winusb && LMX_SIM_BIND(setupapi, api->getClassDevs, "SetupDiGetClassDevsW") &&
           LMX_SIM_BIND(setupapi, api->enumInterfaces, "SetupDiEnumDeviceInterfaces") &&
           LMX_SIM_BIND(setupapi, api->getDetail, "SetupDiGetDeviceInterfaceDetailW") &&
           LMX_SIM_BIND(setupapi, api->destroyList, "SetupDiDestroyDeviceInfoList") &&
           LMX_SIM_BIND(winusb, api->initialize, "WinUsb_Initialize") &&
           LMX_SIM_BIND(winusb, api->free, "WinUsb_Free") &&
           LMX_SIM_BIND(winusb, api->querySettings, "WinUsb_QueryInterfaceSettings") &&
           LMX_SIM_BIND(winusb, api->queryPipe, "WinUsb_QueryPipe") &&
           LMX_SIM_BIND(winusb, api->writePipe, "WinUsb_WritePipe") &&
           LMX_SIM_BIND(winusb, api->readPipe, "WinUsb_ReadPipe") &&
           LMX_SIM_BIND(winusb, api->overlappedResult, "WinUsb_GetOverlappedResult");
}

#endif
