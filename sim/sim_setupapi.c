/* Stand-in for setupapi.dll: enumerates the simulated printers of
 * devices.txt as present USB device interfaces, with the size checks and
 * error codes a 32-bit Windows gives. */
#define _SETUPAPI_
#include <windows.h>
#include <setupapi.h>
#include <stddef.h>
#include <stdlib.h>

#include "call_log.h"
#include "sim_state.h"
#include "ui_agent.h"

#define SET_MAGIC 0x53494D53u /* "SIMS" */

typedef struct DeviceSet {
    DWORD magic;
    SimState state;
} DeviceSet;

static const GUID kUsbDeviceGuid = {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

/* The winusb stand-in asks which path this thread fetched last, to find
 * the pipe layout of the device the program has just opened. */
static DWORD g_lastPathSlot = TLS_OUT_OF_INDEXES;

__declspec(dllexport) const WCHAR* LmxSimThreadDevicePath(void)
{
    const WCHAR* path = (const WCHAR*)TlsGetValue(g_lastPathSlot);
    return path ? path : L"";
}

static void RememberPath(const WCHAR* path)
{
    WCHAR* slot = (WCHAR*)TlsGetValue(g_lastPathSlot);
    if (!slot) {
        slot = (WCHAR*)calloc(SIM_PATH_CHARS, sizeof(WCHAR));
        if (!slot || !TlsSetValue(g_lastPathSlot, slot)) {
            free(slot);
            return;
        }
    }
    lstrcpynW(slot, path, SIM_PATH_CHARS);
}

static DeviceSet* ValidSet(HDEVINFO set)
{
    DeviceSet* s = (DeviceSet*)set;
    if (set == NULL || set == INVALID_HANDLE_VALUE || s->magic != SET_MAGIC)
        return NULL;
    return s;
}

static BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

HDEVINFO WINAPI SetupDiGetClassDevsW(const GUID* classGuid, PCWSTR enumerator, HWND parent, DWORD flags)
{
    SimLogCall("SetupDiGetClassDevsW guid_usb=%d enumerator=%p parent=%p flags=0x%lx",
               classGuid && IsEqualGUID(classGuid, &kUsbDeviceGuid), enumerator, parent, (unsigned long)flags);
    DeviceSet* set = (DeviceSet*)calloc(1, sizeof *set);
    if (!set) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    set->magic = SET_MAGIC;
    /* Only present USB device interfaces exist on this machine. */
    if (classGuid && IsEqualGUID(classGuid, &kUsbDeviceGuid) && (flags & DIGCF_DEVICEINTERFACE))
        SimReadState(&set->state);
    SetLastError(ERROR_SUCCESS);
    return (HDEVINFO)set;
}

BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO set, PSP_DEVINFO_DATA devInfo, const GUID* interfaceGuid,
                                        DWORD index, PSP_DEVICE_INTERFACE_DATA data)
{
    SimLogCall("SetupDiEnumDeviceInterfaces devinfo=%p guid_usb=%d index=%lu cbSize=%lu", devInfo,
               interfaceGuid && IsEqualGUID(interfaceGuid, &kUsbDeviceGuid), (unsigned long)index,
               data ? (unsigned long)data->cbSize : 0ul);
    DeviceSet* s = ValidSet(set);
    if (!s)
        return Fail(ERROR_INVALID_HANDLE);
    if (!data || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA))
        return Fail(ERROR_INVALID_USER_BUFFER);
    if (!interfaceGuid || !IsEqualGUID(interfaceGuid, &kUsbDeviceGuid) || index >= (DWORD)s->state.count)
        return Fail(ERROR_NO_MORE_ITEMS);
    data->InterfaceClassGuid = kUsbDeviceGuid;
    data->Flags = SPINT_ACTIVE;
    data->Reserved = (ULONG_PTR)index + 1;
    return TRUE;
}

BOOL WINAPI SetupDiGetDeviceInterfaceDetailW(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA data,
                                             PSP_DEVICE_INTERFACE_DETAIL_DATA_W detail, DWORD size,
                                             PDWORD required, PSP_DEVINFO_DATA devInfo)
{
    SimLogCall("SetupDiGetDeviceInterfaceDetailW detail=%p size=%lu required=%p devinfo=%p cbSize=%lu",
               detail, (unsigned long)size, required, devInfo, detail ? (unsigned long)detail->cbSize : 0ul);
    DeviceSet* s = ValidSet(set);
    if (!s)
        return Fail(ERROR_INVALID_HANDLE);
    if (!data || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA) || data->Reserved == 0 ||
        data->Reserved > (ULONG_PTR)s->state.count)
        return Fail(ERROR_INVALID_PARAMETER);
    const WCHAR* path = s->state.devices[data->Reserved - 1].path;
    DWORD needed = (DWORD)(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) + (lstrlenW(path) + 1) * sizeof(WCHAR));
    if (!detail && size != 0)
        return Fail(ERROR_INVALID_USER_BUFFER);
    if (detail && detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))
        return Fail(ERROR_INVALID_USER_BUFFER);
    if (required)
        *required = needed;
    if (!detail || size < needed)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    lstrcpyW(detail->DevicePath, path);
    RememberPath(path);
    return TRUE;
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO set)
{
    SimLogCall("SetupDiDestroyDeviceInfoList");
    DeviceSet* s = ValidSet(set);
    if (!s)
        return Fail(ERROR_INVALID_HANDLE);
    s->magic = 0;
    free(s);
    return TRUE;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    (void)instance;
    if (reason == DLL_PROCESS_ATTACH) {
        g_lastPathSlot = TlsAlloc();
        UiAgentStartIfAsked();
    } else if (reason == DLL_THREAD_DETACH || reason == DLL_PROCESS_DETACH) {
        free(TlsGetValue(g_lastPathSlot));
        TlsSetValue(g_lastPathSlot, NULL);
    }
    return TRUE;
}
