/* Reaches a simulated printer through the same SetupAPI and WinUSB calls,
 * with the same arguments, as the updater's link; also the "minimal writer"
 * the end-to-end benchmark compares the updater with.
 *   link_probe info             prints the model code and version
 *   link_probe push <image>     sends the information request, the begin
 *                               packet and the image in 65,535-byte data
 *                               packets, reading each reply; prints the
 *                               time the exchange took */
#include <windows.h>
#include <setupapi.h>
#include <winusb.h>
#include "usb_api.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static struct UsbApi api;

static struct {
    HDEVINFO set;
    HANDLE device;
    WINUSB_INTERFACE_HANDLE usb;
    UCHAR in, out;
} link;

static const WCHAR kPrefix[] = L"\\\\?\\usb#vid_4c5a&pid_0e17#";

static int OpenPipes(const WCHAR* path)
{
    USB_INTERFACE_DESCRIPTOR descriptor;
    link.device = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, NULL);
    if (link.device == INVALID_HANDLE_VALUE || !api.initialize(link.device, &link.usb) ||
        !api.querySettings(link.usb, 0, &descriptor))
        return 0;
    for (UCHAR i = 0; i < descriptor.bNumEndpoints; i++) {
        WINUSB_PIPE_INFORMATION pipe;
        if (!api.queryPipe(link.usb, 0, i, &pipe))
            return 0;
        if (pipe.PipeType == UsbdPipeTypeBulk) {
            if (pipe.PipeId & 0x80)
                link.in = pipe.PipeId;
            else
                link.out = pipe.PipeId;
        }
    }
    return link.in && link.out;
}

static int FindAndOpen(void)
{
    SP_DEVICE_INTERFACE_DATA data;
    link.set = api.getClassDevs(&kUsbDeviceGuid, NULL, NULL, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (link.set == INVALID_HANDLE_VALUE)
        return 0;
    data.cbSize = sizeof data;
    for (DWORD index = 0; api.enumInterfaces(link.set, NULL, &kUsbDeviceGuid, index, &data); index++) {
        DWORD size = 0;
        if (api.getDetail(link.set, &data, NULL, 0, &size, NULL) || GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return 0;
        PSP_DEVICE_INTERFACE_DETAIL_DATA_W detail = malloc(size);
        detail->cbSize = sizeof *detail;
        if (!api.getDetail(link.set, &data, detail, size, NULL, NULL)) {
            free(detail);
            return 0;
        }
        int match = wcsncmp(detail->DevicePath, kPrefix, 26) == 0;
        int opened = match && OpenPipes(detail->DevicePath);
        free(detail);
        if (match)
            return opened;
    }
    return 0;
}

static void CloseLink(void)
{
    if (link.set && link.set != INVALID_HANDLE_VALUE)
        api.destroyList(link.set);
    if (link.usb)
        api.free(link.usb);
    if (link.device && link.device != INVALID_HANDLE_VALUE)
        CloseHandle(link.device);
}

static DWORD Transfer(UsbPipeTransferFn fn, UCHAR pipe, unsigned char* buffer, DWORD length)
{
    for (;;) {
        OVERLAPPED ov;
        ULONG count = 0;
        memset(&ov, 0, sizeof ov);
        if (!fn(link.usb, pipe, buffer, length, &count, &ov)) {
            if (GetLastError() != ERROR_IO_PENDING)
                return 0;
            WaitForSingleObject(link.device, INFINITE);
            if (!api.overlappedResult(link.usb, &ov, &count, TRUE))
                return 0;
        }
        if (count || !length)
            return count;
    }
}

static int SendPacket(unsigned char c0, unsigned char c1, const unsigned char* payload, unsigned length)
{
    static unsigned char packet[65540];
    unsigned char reply[5];
    packet[0] = c0;
    packet[1] = c1;
    packet[2] = (c0 == 0x1B) ? 0 : 1;
    packet[3] = (unsigned char)(length >> 8);
    packet[4] = (unsigned char)length;
    if (length)
        memcpy(packet + 5, payload, length);
    return Transfer(api.writePipe, link.out, packet, length + 5) && Transfer(api.readPipe, link.in, reply, 5);
}

static int Info(unsigned* model, unsigned* version)
{
    unsigned char header[5] = {0}, payload[64] = {0};
    static unsigned char request[5] = {0x1B, 0x49, 0, 0, 0};
    if (!Transfer(api.writePipe, link.out, request, 5) || !Transfer(api.readPipe, link.in, header, 5))
        return 0;
    unsigned length = (header[3] << 8) | header[4];
    if (length > sizeof payload || (length && !Transfer(api.readPipe, link.in, payload, length)))
        return 0;
    *model = (payload[0] << 8) | payload[1];
    *version = (payload[2] << 8) | payload[3];
    return 1;
}

static int Push(const char* imagePath)
{
    static unsigned char image[0x30000];
    FILE* file = fopen(imagePath, "rb");
    if (!file || fread(image, 1, sizeof image, file) != sizeof image)
        return 0;
    fclose(file);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    unsigned model = 0, version = 0;
    if (!Info(&model, &version))
        return 0;
    unsigned char begin[12] = {model >> 8, model, version >> 8, version, 0, 0, 0, 0, 0, 3, 0, 0};
    if (!SendPacket(0x90, 0x69, begin, 12))
        return 0;
    for (unsigned offset = 0; offset < sizeof image; offset += 65535) {
        unsigned length = sizeof image - offset < 65535 ? sizeof image - offset : 65535;
        if (!SendPacket(0x90, 0x62, image + offset, length))
            return 0;
    }
    QueryPerformanceCounter(&end);
    printf("{\"pushed\":1,\"ms\":%.3f}\n", (double)(end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart);
    return 1;
}

int main(int argc, char** argv)
{
    if (argc < 2 || !LoadUsbApi(&api)) {
        printf("{\"error\":\"usage or api\"}\n");
        return 2;
    }
    int ok = FindAndOpen();
    if (!ok)
        printf("{\"open\":0}\n");
    else if (!strcmp(argv[1], "info")) {
        unsigned model = 0, version = 0;
        ok = Info(&model, &version);
        printf("{\"open\":1,\"info\":%d,\"model\":%u,\"version\":%u}\n", ok, model, version);
    } else if (!strcmp(argv[1], "push") && argc > 2) {
        ok = Push(argv[2]);
        if (!ok)
            printf("{\"open\":1,\"pushed\":0}\n");
    }
    CloseLink();
    return ok ? 0 : 1;
}
