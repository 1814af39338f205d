#include "logic/command_packet.h"

#include <gtest/gtest.h>

#include "tests/support/scripted_link.h"

namespace {

struct PacketCase {
    const char* name;
    const CommandCode* code;
    std::uint8_t value;
    Bytes payload;
    Bytes expectedHeader;
};

class SendCommandBytes : public ::testing::TestWithParam<PacketCase> {};

TEST_P(SendCommandBytes, WritesHeaderAndPayloadInOneWrite) {
    const PacketCase& c = GetParam();
    LinkScript script;
    ScriptedLink link(script);

    const int result = SendCommand(link, *c.code, c.value, static_cast<std::uint16_t>(c.payload.size()),
                                   c.payload.empty() ? nullptr : c.payload.data());

    EXPECT_EQ(result, 1);
    ASSERT_EQ(script.writes.size(), 1u);
    const Bytes& packet = script.writes[0];
    ASSERT_EQ(packet.size(), c.payload.size() + 5);
    EXPECT_EQ(Bytes(packet.begin(), packet.begin() + 5), c.expectedHeader);
    EXPECT_EQ(Bytes(packet.begin() + 5, packet.end()), c.payload);
}

Bytes Ramp(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    PacketKinds, SendCommandBytes,
    ::testing::Values(PacketCase{"InformationRequest", &CMD_GET_INFO, 0, {}, {0x1B, 0x49, 0x00, 0x00, 0x00}},
                      PacketCase{"UpdateBegin", &CMD_UPDATE_BEGIN, 1, Ramp(12), {0x90, 0x69, 0x01, 0x00, 0x0C}},
                      PacketCase{"FullDataPacket", &CMD_UPDATE_DATA, 1, Ramp(65535), {0x90, 0x62, 0x01, 0xFF, 0xFF}},
                      PacketCase{"FinalDataPacket", &CMD_UPDATE_DATA, 1, Ramp(3), {0x90, 0x62, 0x01, 0x00, 0x03}},
                      PacketCase{"HighLengthByteFirst", &CMD_UPDATE_DATA, 1, Ramp(0x0102),
                                 {0x90, 0x62, 0x01, 0x01, 0x02}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SendCommand, PassesTheLinksErrorOnUnchanged) {
    LinkScript script;
    script.throwAtTransfer = 0;
    script.error = CString(u"WinUsb_WritePipe Failed\r\n");
    ScriptedLink link(script);
    const Bytes payload = Ramp(65535);

    try {
        SendCommand(link, CMD_UPDATE_DATA, 1, 65535, payload.data());
        FAIL() << "the link's error did not reach the caller";
    } catch (const CString& error) {
        EXPECT_EQ(error, CString(u"WinUsb_WritePipe Failed\r\n"));
    }
    // The packet buffer's release on this path is checked by the sanitized build's leak check.
}

TEST(SendCommand, AShortWriteStillCountsAsSent) {
    LinkScript script;
    script.writeCountOverride = 2;
    ScriptedLink link(script);

    EXPECT_EQ(SendCommand(link, CMD_GET_INFO, 0, 0, nullptr), 1);
    EXPECT_EQ(script.Count("write"), 1);
}

}  // namespace
