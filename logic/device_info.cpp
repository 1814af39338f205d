#include "device_info.h"

#include <memory>

#include "byte_order.h"
#include "command_packet.h"
#include "framework/cstring.h"
#include "link/link_factory.h"

namespace {

constexpr std::uint32_t kInfoFieldsSize = 4;  // model code and version

bool IsOlderThanThreshold(std::uint16_t modelCode, std::uint16_t firmwareVersion) {
    switch (modelCode) {
        case MODEL_A: return firmwareVersion < kVersionThresholdA;
        case MODEL_B: return firmwareVersion < kVersionThresholdB;
        default: return false;  // a model without a threshold never needs the update
    }
}

}  // namespace

int QueryDeviceInfo(ICommunicationBase& link, std::uint16_t& modelCode, std::uint16_t& firmwareVersion) {
    try {
        unsigned char header[kHeaderSize] = {};
        SendCommand(link, CMD_GET_INFO, 0, 0, nullptr);
        link.Read(header, kHeaderSize);  // bytes that did not arrive stay 0
        const std::uint16_t length = LoadBigEndian16(&header[3]);
        if (length == 0) return 1;
        // A payload that cannot hold both fields, or that arrived short, is
        // not information: never read bytes that were not received.
        if (length < kInfoFieldsSize) return 0;
        std::unique_ptr<unsigned char[]> payload(new unsigned char[length]);
        const int received = link.Read(payload.get(), length);
        if (received < static_cast<int>(length)) return 0;
        modelCode = LoadBigEndian16(&payload[0]);
        firmwareVersion = LoadBigEndian16(&payload[2]);
        return 1;
    } catch (const CString&) {
        return 0;
    }
}

int ReadDeviceInfo(std::uint16_t& modelCode, std::uint16_t& firmwareVersion) {
    std::unique_ptr<ICommunicationBase> link = CreateLink();
    std::uint16_t model = 0;
    std::uint16_t version = 0;
    const int opened = link->Open();
    if (opened != 1) return opened;
    const int result = QueryDeviceInfo(*link, model, version);
    link->Close();
    if (result == 1) {
        modelCode = model;
        firmwareVersion = version;
    }
    return result;
}

int CheckConnection() {
    std::unique_ptr<ICommunicationBase> link = CreateLink();
    const int opened = link->Open();
    if (opened == 1) link->Close();
    return opened;
}

int CheckFirmwareVersion() {
    std::uint16_t model = 0;
    std::uint16_t version = 0;
    if (ReadDeviceInfo(model, version) != 1) return CHECK_FAILED;
    return IsOlderThanThreshold(model, version) ? CHECK_UPDATE_NEEDED : CHECK_UP_TO_DATE;
}
