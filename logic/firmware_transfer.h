#pragma once
// Writing a new firmware into the printer: one begin packet announcing the
// image, then the image in data packets, a 5-byte reply read after each.
#include <cstdint>

#include "firmware_images.h"
#include "link/communication_base.h"
#include "observer.h"

constexpr std::uint32_t kChunkSize = 0xFFFF;  // the largest payload a 16-bit length can carry

// Streams the image on an open link the caller owns. 1 when every packet was
// written and every reply read, 0 on a link error (nothing more is sent).
int TransferFirmware(std::uint16_t modelCode, ICommunicationBase& link, const FirmwareImage* image,
                     std::uint16_t firmwareVersion, IObserver* observer);

// A whole update on a link of its own: open, query, pick the model's image,
// transfer. 1 on success.
int UpdateFirmware(IObserver* observer);
