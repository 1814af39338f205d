/* Observes the simulator's replacement setupapi.dll and winusb.dll the way
 * a program sees them, and prints what it saw as one JSON object; the
 * Python test holds the expectations. Run with the DLL override, like the
 * updater. */
#include <windows.h>
#include <setupapi.h>
#include <winusb.h>
#include "sim/usb_api.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

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
    struct UsbApi api;
    if (!LoadUsbApi(&api)) {
        printf("{\"error\":\"setupapi.dll or winusb.dll incomplete\"}\n");
        return 1;
    }
    Field("simulator", GetProcAddress(GetModuleHandleW(L"setupapi.dll"), "LmxSimThreadDevicePath") != NULL);

    HDEVINFO set = api.getClassDevs(&kUsbDeviceGuid, NULL, NULL, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    SP_DEVICE_INTERFACE_DATA data;
    data.cbSize = 0;
    CALL("enum_bad_size", api.enumInterfaces(set, NULL, &kUsbDeviceGuid, 0, &data));
    data.cbSize = sizeof data;
    Field("interface_data_size", (long)sizeof data);
    DWORD count = 0;
    while (api.enumInterfaces(set, NULL, &kUsbDeviceGuid, count, &data))
        count++;
    Field("count", (long)count);
    CALL("enum_past_end", api.enumInterfaces(set, NULL, &kUsbDeviceGuid, count, &data));

    CALL("enum_first", api.enumInterfaces(set, NULL, &kUsbDeviceGuid, 0, &data));
    DWORD required = 0;
    CALL("size_query", api.getDetail(set, &data, NULL, 0, &required, NULL));
    Field("required", (long)required);
    PSP_DEVICE_INTERFACE_DETAIL_DATA_W block = calloc(1, required + 16);
    block->cbSize = 8;
    CALL("fetch_bad_size", api.getDetail(set, &data, block, required, NULL, NULL));
    block->cbSize = sizeof *block;
    Field("detail_fixed_size", (long)sizeof *block);
    CALL("fetch_too_small", api.getDetail(set, &data, block, required - 2, NULL, NULL));
    CALL("fetch", api.getDetail(set, &data, block, required, NULL, NULL));
    Text("path", block->DevicePath);

    HANDLE device = CreateFileW(block->DevicePath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, NULL);
    Field("opened", device != INVALID_HANDLE_VALUE);
    WINUSB_INTERFACE_HANDLE usb = NULL;
    CALL("initialize", api.initialize(device, &usb));
    USB_INTERFACE_DESCRIPTOR descriptor;
    CALL("alt1", api.querySettings(usb, 1, &descriptor));
    CALL("settings", api.querySettings(usb, 0, &descriptor));
    Field("endpoints", descriptor.bNumEndpoints);
    printf(",\"pipes\":[");
    for (UCHAR i = 0; i < descriptor.bNumEndpoints; i++) {
        WINUSB_PIPE_INFORMATION info;
        api.queryPipe(usb, 0, i, &info);
        printf("%s[%d,%d]", i ? "," : "", (int)info.PipeType, (int)info.PipeId);
    }
    printf("]");
    WINUSB_PIPE_INFORMATION info;
    CALL("pipe_past_end", api.queryPipe(usb, 0, descriptor.bNumEndpoints, &info));

    unsigned char request[5] = {0x1B, 0x49, 0, 0, 0}, reply[64] = {0};
    ULONG n = 0;
    OVERLAPPED ov;
    memset(&ov, 0, sizeof ov);
    CALL("write_on_in_pipe", api.writePipe(usb, 0x81, request, 5, &n, &ov));
    memset(&ov, 0, sizeof ov);
    CALL("read_on_out_pipe", api.readPipe(usb, 0x02, reply, 5, &n, &ov));
    memset(&ov, 0, sizeof ov);
    CALL("read", api.readPipe(usb, 0x81, reply, 5, &n, &ov));  /* nothing there yet: pending */
    Field("wait_before_request", (long)WaitForSingleObject(device, 300));
    CancelIo(device);
    DWORD got = 0;
    api.overlappedResult(usb, &ov, &got, TRUE);

    memset(&ov, 0, sizeof ov);
    BOOL wrote = api.writePipe(usb, 0x02, request, 5, &n, &ov);
    if (!wrote && GetLastError() == ERROR_IO_PENDING) {
        WaitForSingleObject(device, INFINITE);
        wrote = api.overlappedResult(usb, &ov, &got, TRUE);
        n = got;
    }
    Field("request_written", wrote ? (long)n : -1);
    memset(&ov, 0, sizeof ov);
    got = 0;
    if (!api.readPipe(usb, 0x81, reply, sizeof reply, &n, &ov) && GetLastError() == ERROR_IO_PENDING) {
        Field("reply_wait", (long)WaitForSingleObject(device, 5000));
        api.overlappedResult(usb, &ov, &got, TRUE);
    } else {
        got = n;
    }
    Field("reply_count", (long)got);
    printf(",\"reply\":\"");
    for (DWORD i = 0; i < got; i++)
        printf("%02x", reply[i]);
    printf("\"");

    CALL("free", api.free(usb));
    CALL("free_again", api.free(usb));
    CloseHandle(device);
    CALL("destroy", api.destroyList(set));
    CALL("destroy_again", api.destroyList(set));
    free(block);
    printf("}\n");
    return 0;
}
