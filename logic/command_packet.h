#pragma once
// Framing of the packets the host sends: a 2-byte code, a value byte, a
// big-endian 16-bit payload length, then the payload. Replies start with a
// 5-byte header of the same size whose bytes 3 and 4 announce the payload.
#include <cstdint>

#include "link/communication_base.h"

constexpr std::uint32_t kHeaderSize = 5;

using CommandCode = unsigned char[2];

extern const CommandCode CMD_GET_INFO;      // ESC 'I'
extern const CommandCode CMD_UPDATE_BEGIN;  // 90 69
extern const CommandCode CMD_UPDATE_DATA;   // 90 62

// Frames one packet and writes it in a single Write. Returns 1; a link error
// (a thrown CString) reaches the caller unchanged.
int SendCommand(ICommunicationBase& link, const CommandCode& code, std::uint8_t value, std::uint16_t length,
                const unsigned char* payload);
