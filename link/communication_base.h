#pragma once
// The byte pipe to one printer. Transfers report failures by throwing a
// CString holding a fixed English text that ends in CR LF; Open and Close
// report through their result only.
#include <cstdint>

class ICommunicationBase {
public:
    virtual ~ICommunicationBase() {}
    virtual int Open() = 0;
    virtual void Close() = 0;
    virtual int Read(unsigned char* buffer, std::uint32_t length) = 0;
    virtual int ReadPoll(unsigned char* buffer, std::uint32_t length) = 0;
    virtual int Write(const unsigned char* data, std::uint32_t length) = 0;
    virtual void SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) = 0;
};
