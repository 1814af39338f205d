/* Observes the simulator's replacement setupapi.dll and winusb.dll the way
 * a program sees them, and prints what it saw as one JSON object; the
 * Python test holds the expectations. Run with the DLL override, like the
 * updater. */
#include <windows.h>
#include <setupapi.h>
#include <winusb.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const GUID kUsb = {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

typedef HDEVINFO(WINAPI* GetClassDevsFn)(const GUID*, PCWSTR, HWND, DWORD);
typedef BOOL(WINAPI* EnumFn)(HDEVINFO, PSP_DEVINFO_DATA, const GUID*, DWORD, PSP_DEVICE_INTERFACE_DATA);
typedef BOOL(WINAPI* DetailFn)(HDEVINFO, PSP_DEVICE_INTERFACE_DATA, PSP_DEVICE_INTERFACE_DETAIL_DATA_W, DWORD, PDWORD,
                               PSP_DEVINFO_DATA);
typedef BOOL(WINAPI* DestroyFn)(HDEVINFO);
typedef BOOL(WINAPI* InitFn)(HANDLE, PWINUSB_INTERFACE_HANDLE);
typedef BOOL(WINAPI* FreeFn)(WINUSB_INTERFACE_HANDLE);
typedef BOOL(WINAPI* SettingsFn)(WINUSB_INTERFACE_HANDLE, UCHAR, PUSB_INTERFACE_DESCRIPTOR);
typedef BOOL(WINAPI* PipeFn)(WINUSB_INTERFACE_HANDLE, UCHAR, UCHAR, PWINUSB_PIPE_INFORMATION);
typedef BOOL(WINAPI* XferFn)(WINUSB_INTERFACE_HANDLE, UCHAR, PUCHAR, ULONG, PULONG, LPOVERLAPPED);
typedef BOOL(WINAPI* ResultFn)(WINUSB_INTERFACE_HANDLE, LPOVERLAPPED, LPDWORD, BOOL);

static int g_first = 1;

static void Field(const char* name, long value)
{
    printf("%s\"%s\":%ld", g_first ? "{" : ",", name, value);
    g_first = 0;
}

static void Text(const char* name, const WCHAR* value)
{
    printf("%s\"%s\":\"", g_first ? "{" : ",", name);
    for (; *value; value++)
        printf(*value < 0x80 && *value != '"' && *value != '\\' ? "%c" : "\\u%04x", (unsigned)*value);
    printf("\"");
    g_first = 0;
}

#define CALL(name, expr)                                  \
    do {                                                  \
        SetLastError(0);                                  \
        BOOL r_ = (expr);                                 \
        DWORD e_ = GetLastError();                        \
        Field(name "_ok", r_ ? 1 : 0);                    \
        Field(name "_error", r_ ? 0 : (long)e_);          \
    } while (0)

int main(void)
{
    HMODULE sa = LoadLibraryExW(L"setupapi.dll", NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);
    HMODULE wu = LoadLibraryExW(L"winusb.dll", NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);
    GetClassDevsFn getClassDevs = (GetClassDevsFn)(void*)GetProcAddress(sa, "SetupDiGetClassDevsW");
    EnumFn enumIf = (EnumFn)(void*)GetProcAddress(sa, "SetupDiEnumDeviceInterfaces");
    DetailFn detail = (DetailFn)(void*)GetProcAddress(sa, "SetupDiGetDeviceInterfaceDetailW");
    DestroyFn destroy = (DestroyFn)(void*)GetProcAddress(sa, "SetupDiDestroyDeviceInfoList");
    InitFn init = (InitFn)(void*)GetProcAddress(wu, "WinUsb_Initialize");
    FreeFn freeUsb = (FreeFn)(void*)GetProcAddress(wu, "WinUsb_Free");
    SettingsFn settings = (SettingsFn)(void*)GetProcAddress(wu, "WinUsb_QueryInterfaceSettings");
    PipeFn pipe = (PipeFn)(void*)GetProcAddress(wu, "WinUsb_QueryPipe");
    XferFn writePipe = (XferFn)(void*)GetProcAddress(wu, "WinUsb_WritePipe");
    XferFn readPipe = (XferFn)(void*)GetProcAddress(wu, "WinUsb_ReadPipe");
    ResultFn result = (ResultFn)(void*)GetProcAddress(wu, "WinUsb_GetOverlappedResult");
    Field("simulator", GetProcAddress(sa, "LmxSimThreadDevicePath") != NULL);

    HDEVINFO set = getClassDevs(&kUsb, NULL, NULL, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    SP_DEVICE_INTERFACE_DATA data;
    data.cbSize = 0;
    CALL("enum_bad_size", enumIf(set, NULL, &kUsb, 0, &data));
    data.cbSize = sizeof data;
    Field("interface_data_size", (long)sizeof data);
    DWORD count = 0;
    while (enumIf(set, NULL, &kUsb, count, &data))
        count++;
    Field("count", (long)count);
    CALL("enum_past_end", enumIf(set, NULL, &kUsb, count, &data));

    CALL("enum_first", enumIf(set, NULL, &kUsb, 0, &data));
    DWORD required = 0;
    CALL("size_query", detail(set, &data, NULL, 0, &required, NULL));
    Field("required", (long)required);
    PSP_DEVICE_INTERFACE_DETAIL_DATA_W block = calloc(1, required + 16);
    block->cbSize = 8;
    CALL("fetch_bad_size", detail(set, &data, block, required, NULL, NULL));
    block->cbSize = sizeof *block;
    Field("detail_fixed_size", (long)sizeof *block);
    CALL("fetch_too_small", detail(set, &data, block, required - 2, NULL, NULL));
    CALL("fetch", detail(set, &data, block, required, NULL, NULL));
    Text("path", block->DevicePath);

    HANDLE device = CreateFileW(block->DevicePath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, NULL);
    Field("opened", device != INVALID_HANDLE_VALUE);
    WINUSB_INTERFACE_HANDLE usb = NULL;
    CALL("initialize", init(device, &usb));
    USB_INTERFACE_DESCRIPTOR descriptor;
    CALL("alt1", settings(usb, 1, &descriptor));
    CALL("settings", settings(usb, 0, &descriptor));
    Field("endpoints", descriptor.bNumEndpoints);
    printf(",\"pipes\":[");
    for (UCHAR i = 0; i < descriptor.bNumEndpoints; i++) {
        WINUSB_PIPE_INFORMATION info;
        pipe(usb, 0, i, &info);
        printf("%s[%d,%d]", i ? "," : "", (int)info.PipeType, (int)info.PipeId);
    }
    printf("]");
    WINUSB_PIPE_INFORMATION info;
    CALL("pipe_past_end", pipe(usb, 0, descriptor.bNumEndpoints, &info));

    unsigned char request[5] = {0x1B, 0x49, 0, 0, 0}, reply[64] = {0};
    ULONG n = 0;
    OVERLAPPED ov;
    memset(&ov, 0, sizeof ov);
    CALL("write_on_in_pipe", writePipe(usb, 0x81, request, 5, &n, &ov));
    memset(&ov, 0, sizeof ov);
    CALL("read_on_out_pipe", readPipe(usb, 0x02, reply, 5, &n, &ov));
    memset(&ov, 0, sizeof ov);
    CALL("read", readPipe(usb, 0x81, reply, 5, &n, &ov));  /* nothing there yet: pending */
    Field("wait_before_request", (long)WaitForSingleObject(device, 300));
    CancelIo(device);
    DWORD got = 0;
    result(usb, &ov, &got, TRUE);

    memset(&ov, 0, sizeof ov);
    BOOL wrote = writePipe(usb, 0x02, request, 5, &n, &ov);
    if (!wrote && GetLastError() == ERROR_IO_PENDING) {
        WaitForSingleObject(device, INFINITE);
        wrote = result(usb, &ov, &got, TRUE);
        n = got;
    }
    Field("request_written", wrote ? (long)n : -1);
    memset(&ov, 0, sizeof ov);
    got = 0;
    if (!readPipe(usb, 0x81, reply, sizeof reply, &n, &ov) && GetLastError() == ERROR_IO_PENDING) {
        Field("reply_wait", (long)WaitForSingleObject(device, 5000));
        result(usb, &ov, &got, TRUE);
    } else {
        got = n;
    }
    Field("reply_count", (long)got);
    printf(",\"reply\":\"");
    for (DWORD i = 0; i < got; i++)
        printf("%02x", reply[i]);
    printf("\"");

    CALL("free", freeUsb(usb));
    CALL("free_again", freeUsb(usb));
    CloseHandle(device);
    CALL("destroy", destroy(set));
    CALL("destroy_again", destroy(set));
    free(block);
    printf("}\n");
    return 0;
}
