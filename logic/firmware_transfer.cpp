#include "firmware_transfer.h"

#include <memory>

#include "byte_order.h"
#include "command_packet.h"
#include "device_info.h"
#include "framework/cstring.h"
#include "link/link_factory.h"

namespace {

constexpr std::uint16_t kBeginPayloadSize = 12;
constexpr std::uint32_t kFullChunks = kFirmwareSize / kChunkSize;
constexpr std::uint32_t kRemainder = kFirmwareSize - kFullChunks * kChunkSize;

const FirmwareImage* ImageForModel(std::uint16_t modelCode) {
    switch (modelCode) {
        case MODEL_A: return &kFirmwareImageA;
        case MODEL_B: return &kFirmwareImageB;
        default: return nullptr;
    }
}

void ReadReply(ICommunicationBase& link, unsigned char (&reply)[kHeaderSize]) { link.Read(reply, kHeaderSize); }

}  // namespace

int TransferFirmware(std::uint16_t modelCode, ICommunicationBase& link, const FirmwareImage* image,
                     std::uint16_t firmwareVersion, IObserver* observer) {
    try {
        unsigned char reply[kHeaderSize] = {};
        unsigned char begin[kBeginPayloadSize] = {};
        StoreBigEndian16(&begin[0], modelCode);
        StoreBigEndian16(&begin[2], firmwareVersion);
        StoreBigEndian32(&begin[8], kFirmwareSize);
        SendCommand(link, CMD_UPDATE_BEGIN, 1, kBeginPayloadSize, begin);
        ReadReply(link, reply);

        for (std::uint32_t i = 0; i < kFullChunks; ++i) {
            SendCommand(link, CMD_UPDATE_DATA, 1, static_cast<std::uint16_t>(kChunkSize),
                        &image->bytes[i * kChunkSize]);
            ReadReply(link, reply);
            observer->OnProgress(static_cast<int>((i + 1) * 100 / kFullChunks));
        }
        if (kRemainder != 0) {
            SendCommand(link, CMD_UPDATE_DATA, 1, static_cast<std::uint16_t>(kRemainder),
                        &image->bytes[kFullChunks * kChunkSize]);
            ReadReply(link, reply);
        }
        return 1;
    } catch (const CString&) {
        return 0;
    }
}

int UpdateFirmware(IObserver* observer) {
    std::unique_ptr<ICommunicationBase> link = CreateLink();
    std::uint16_t model = 0;
    std::uint16_t version = 0;
    const int opened = link->Open();
    if (opened != 1) {
        link->Close();
        return opened;
    }
    if (QueryDeviceInfo(*link, model, version) != 1) {
        link->Close();
        return 0;
    }
    const FirmwareImage* image = ImageForModel(model);
    if (image == nullptr) return 0;  // destroying the link releases it
    const int result = TransferFirmware(model, *link, image, version, observer);
    link->Close();
    return result;
}
