#include "command_packet.h"

#include <cstring>
#include <memory>

#include "byte_order.h"

const CommandCode CMD_GET_INFO = {0x1B, 0x49};
const CommandCode CMD_UPDATE_BEGIN = {0x90, 0x69};
const CommandCode CMD_UPDATE_DATA = {0x90, 0x62};

int SendCommand(ICommunicationBase& link, const CommandCode& code, std::uint8_t value, std::uint16_t length,
                const unsigned char* payload) {
    const std::uint32_t size = kHeaderSize + length;
    // Owned by the call: released on return and when the link's error passes through.
    std::unique_ptr<unsigned char[]> packet(new unsigned char[size]);
    packet[0] = code[0];
    packet[1] = code[1];
    packet[2] = value;
    StoreBigEndian16(&packet[3], length);
    if (payload != nullptr) std::memcpy(&packet[kHeaderSize], payload, length);
    link.Write(packet.get(), size);
    return 1;
}
