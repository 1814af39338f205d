#pragma once
// Every SetupAPI, WinUSB and kernel32 call of the USB link, and the heap
// that holds the interface detail, as one table of functions. The program
// fills it from the system directory (usb_system_platform.h); tests put a
// scripted platform in its place.
// winsock2.h first: windows.h alone pulls in the old winsock.h, which
// collides with winsock2.h included later by anyone.
#include <winsock2.h>
#include <windows.h>
#include <setupapi.h>
#include <winusb.h>

#include <cstddef>

struct UsbPlatform {
    decltype(&::SetupDiGetClassDevsW) SetupDiGetClassDevsW = nullptr;
    decltype(&::SetupDiEnumDeviceInterfaces) SetupDiEnumDeviceInterfaces = nullptr;
    decltype(&::SetupDiGetDeviceInterfaceDetailW) SetupDiGetDeviceInterfaceDetailW = nullptr;
    decltype(&::SetupDiDestroyDeviceInfoList) SetupDiDestroyDeviceInfoList = nullptr;

    decltype(&::WinUsb_Initialize) WinUsb_Initialize = nullptr;
    decltype(&::WinUsb_QueryInterfaceSettings) WinUsb_QueryInterfaceSettings = nullptr;
    decltype(&::WinUsb_QueryPipe) WinUsb_QueryPipe = nullptr;
    decltype(&::WinUsb_WritePipe) WinUsb_WritePipe = nullptr;
    decltype(&::WinUsb_ReadPipe) WinUsb_ReadPipe = nullptr;
    decltype(&::WinUsb_GetOverlappedResult) WinUsb_GetOverlappedResult = nullptr;
    decltype(&::WinUsb_Free) WinUsb_Free = nullptr;

    decltype(&::CreateFileW) CreateFileW = nullptr;
    decltype(&::WaitForSingleObject) WaitForSingleObject = nullptr;
    decltype(&::CancelIo) CancelIo = nullptr;
    decltype(&::CloseHandle) CloseHandle = nullptr;
    decltype(&::GetLastError) GetLastError = nullptr;

    // malloc and free of the interface detail block.
    void* (*AllocateDetail)(std::size_t size) = nullptr;
    void (*FreeDetail)(void* block) = nullptr;
};
