/* Stand-in for winusb.dll: the bulk pipes of a simulated printer are the
 * pty behind the device path the program opened, so every transfer is an
 * overlapped ReadFile/WriteFile on that very handle and completes on it, as
 * the program's wait on the device handle expects. */
#include <windows.h>
#include <winusb.h>
#include <stdlib.h>

#include "call_log.h"
#include "sim_state.h"

#define IFACE_MAGIC 0x53494D57u /* "SIMW" */

typedef struct SimInterface {
    DWORD magic;
    HANDLE file;
    SimDevice device;
} SimInterface;

typedef const WCHAR* (*ThreadDevicePathFn)(void);

static SimInterface* ValidInterface(WINUSB_INTERFACE_HANDLE handle)
{
    SimInterface* iface = (SimInterface*)handle;
    if (!iface || iface->magic != IFACE_MAGIC)
        return NULL;
    return iface;
}

static BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

/* The setupapi stand-in remembers the path this thread fetched last: the
 * one the program has just opened. */
static const WCHAR* OpenedDevicePath(void)
{
    HMODULE setupapi = GetModuleHandleW(L"setupapi.dll");
    ThreadDevicePathFn fn = setupapi ? (ThreadDevicePathFn)(void*)GetProcAddress(setupapi, "LmxSimThreadDevicePath") : NULL;
    return fn ? fn() : L"";
}

/* A real bulk read completes with whatever packet arrived; a Wine serial
 * read with the default timeouts waits for the whole count instead, so a
 * short reply would hang the reader. With these timeouts Wine's overlapped
 * read waits until some bytes are there and completes with those (it does
 * not return empty at once, so a silent printer costs no CPU). */
static void ReadLikeBulkPipe(HANDLE file)
{
    COMMTIMEOUTS timeouts = {MAXDWORD, 0, 0, 0, 0};
    SetCommTimeouts(file, &timeouts);
}

BOOL WINAPI WinUsb_Initialize(HANDLE deviceHandle, PWINUSB_INTERFACE_HANDLE interfaceHandle)
{
    SimLogCall("WinUsb_Initialize handle=%p", deviceHandle);
    if (!interfaceHandle)
        return Fail(ERROR_INVALID_PARAMETER);
    *interfaceHandle = NULL;
    if (deviceHandle == NULL || deviceHandle == INVALID_HANDLE_VALUE)
        return Fail(ERROR_INVALID_HANDLE);
    SimState state;
    SimReadState(&state);
    const SimDevice* device = SimFindDevice(&state, OpenedDevicePath());
    if (!device)
        return Fail(ERROR_NOT_FOUND);
    SimInterface* iface = (SimInterface*)calloc(1, sizeof *iface);
    if (!iface)
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    iface->magic = IFACE_MAGIC;
    iface->file = deviceHandle;
    iface->device = *device;
    ReadLikeBulkPipe(deviceHandle);
    /* What an earlier session left unread (a reply longer than was asked
     * for) would sit in the pty; a real pipe starts empty for a new handle. */
    PurgeComm(deviceHandle, PURGE_RXCLEAR);
    *interfaceHandle = iface;
    return TRUE;
}

BOOL WINAPI WinUsb_Free(WINUSB_INTERFACE_HANDLE handle)
{
    SimLogCall("WinUsb_Free handle=%p", handle);
    SimInterface* iface = ValidInterface(handle);
    if (!iface)
        return Fail(ERROR_INVALID_HANDLE);
    iface->magic = 0;
    free(iface);
    return TRUE;
}

BOOL WINAPI WinUsb_QueryInterfaceSettings(WINUSB_INTERFACE_HANDLE handle, UCHAR alternate,
                                          PUSB_INTERFACE_DESCRIPTOR descriptor)
{
    SimLogCall("WinUsb_QueryInterfaceSettings alternate=%u", alternate);
    SimInterface* iface = ValidInterface(handle);
    if (!iface)
        return Fail(ERROR_INVALID_HANDLE);
    if (!descriptor)
        return Fail(ERROR_INVALID_PARAMETER);
    if (alternate != 0)
        return Fail(ERROR_NO_MORE_ITEMS);
    ZeroMemory(descriptor, sizeof *descriptor);
    descriptor->bLength = 9;
    descriptor->bDescriptorType = 4;
    descriptor->bNumEndpoints = (UCHAR)iface->device.pipeCount;
    descriptor->bInterfaceClass = 0xFF;
    return TRUE;
}

BOOL WINAPI WinUsb_QueryPipe(WINUSB_INTERFACE_HANDLE handle, UCHAR alternate, UCHAR index,
                             PWINUSB_PIPE_INFORMATION info)
{
    SimLogCall("WinUsb_QueryPipe alternate=%u index=%u", alternate, index);
    SimInterface* iface = ValidInterface(handle);
    if (!iface)
        return Fail(ERROR_INVALID_HANDLE);
    if (!info)
        return Fail(ERROR_INVALID_PARAMETER);
    if (alternate != 0 || index >= iface->device.pipeCount)
        return Fail(ERROR_NO_MORE_ITEMS);
    info->PipeType = (USBD_PIPE_TYPE)iface->device.pipes[index].type;
    info->PipeId = iface->device.pipes[index].id;
    info->MaximumPacketSize = 512;
    info->Interval = 0;
    return TRUE;
}

static BOOL HasBulkPipe(const SimInterface* iface, UCHAR pipeId)
{
    for (int i = 0; i < iface->device.pipeCount; i++)
        if (iface->device.pipes[i].id == pipeId && iface->device.pipes[i].type == UsbdPipeTypeBulk)
            return TRUE;
    return FALSE;
}

/* A transfer without an overlapped record waits for itself. */
static BOOL WaitedTransfer(HANDLE file, BOOL write, void* buffer, ULONG length, PULONG transferred)
{
    OVERLAPPED ov = {0};
    DWORD count = 0;
    ov.hEvent = CreateEventW(NULL, TRUE, FALSE, NULL);
    if (!ov.hEvent)
        return FALSE;
    BOOL ok = write ? WriteFile(file, buffer, length, NULL, &ov) : ReadFile(file, buffer, length, NULL, &ov);
    if (ok || GetLastError() == ERROR_IO_PENDING)
        ok = GetOverlappedResult(file, &ov, &count, TRUE);
    DWORD error = GetLastError();
    CloseHandle(ov.hEvent);
    if (transferred)
        *transferred = count;
    SetLastError(error);
    return ok;
}

static BOOL Transfer(WINUSB_INTERFACE_HANDLE handle, UCHAR pipeId, BOOL write, void* buffer, ULONG length,
                     PULONG transferred, LPOVERLAPPED overlapped)
{
    SimInterface* iface = ValidInterface(handle);
    if (!iface)
        return Fail(ERROR_INVALID_HANDLE);
    if (!HasBulkPipe(iface, pipeId) || ((pipeId & 0x80) != 0) == write || (!buffer && length))
        return Fail(ERROR_INVALID_PARAMETER);
    if (!overlapped)
        return WaitedTransfer(iface->file, write, buffer, length, transferred);
    DWORD count = 0;
    BOOL ok = write ? WriteFile(iface->file, buffer, length, &count, overlapped)
                    : ReadFile(iface->file, buffer, length, &count, overlapped);
    if (ok) {
        DWORD error = GetLastError();
        SimLogCall("%s completed at once count=%lu", write ? "WinUsb_WritePipe" : "WinUsb_ReadPipe", (unsigned long)count);
        SetLastError(error);
    }
    if (transferred) {
        DWORD error = GetLastError();
        *transferred = ok ? count : 0;
        SetLastError(error);
    }
    return ok;
}

BOOL WINAPI WinUsb_WritePipe(WINUSB_INTERFACE_HANDLE handle, UCHAR pipeId, PUCHAR buffer, ULONG length,
                             PULONG transferred, LPOVERLAPPED overlapped)
{
    SimLogCall("WinUsb_WritePipe pipe=0x%02x length=%lu overlapped=%d", pipeId, (unsigned long)length, overlapped != NULL);
    return Transfer(handle, pipeId, TRUE, buffer, length, transferred, overlapped);
}

BOOL WINAPI WinUsb_ReadPipe(WINUSB_INTERFACE_HANDLE handle, UCHAR pipeId, PUCHAR buffer, ULONG length,
                            PULONG transferred, LPOVERLAPPED overlapped)
{
    SimLogCall("WinUsb_ReadPipe pipe=0x%02x length=%lu overlapped=%d", pipeId, (unsigned long)length, overlapped != NULL);
    return Transfer(handle, pipeId, FALSE, buffer, length, transferred, overlapped);
}

BOOL WINAPI WinUsb_GetOverlappedResult(WINUSB_INTERFACE_HANDLE handle, LPOVERLAPPED overlapped, LPDWORD transferred,
                                       BOOL wait)
{
    SimInterface* iface = ValidInterface(handle);
    if (!iface)
        return Fail(ERROR_INVALID_HANDLE);
    if (!overlapped || !transferred)
        return Fail(ERROR_INVALID_PARAMETER);
    BOOL ok = GetOverlappedResult(iface->file, overlapped, transferred, wait);
    DWORD error = GetLastError();
    SimLogCall("WinUsb_GetOverlappedResult ok=%d count=%lu error=%lu", ok, (unsigned long)*transferred,
               ok ? 0ul : (unsigned long)error);
    SetLastError(error);
    return ok;
}
