#pragma once
// The link of a machine that has no way to reach a printer: it never finds
// one. It is the default where no USB transport exists (native builds).
#include "communication_base.h"
#include "framework/cstring.h"

class CNoDeviceLink : public ICommunicationBase {
public:
    int Open() override { return 0; }
    void Close() override {}
    int Read(unsigned char*, std::uint32_t) override { throw CString(u"WinUsb_ReadPipe Failed\r\n"); }
    int ReadPoll(unsigned char*, std::uint32_t) override { return 0; }
    int Write(const unsigned char*, std::uint32_t) override { throw CString(u"WinUsb_WritePipe Failed\r\n"); }
    void SetTimeouts(std::uint32_t, std::uint32_t) override {}
};
