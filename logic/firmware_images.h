#pragma once
// The two firmware images the program carries, one per model, embedded
// from logic/firmware/ as read-only data.
#include <cstdint>

constexpr std::uint32_t kFirmwareSize = 0x30000;

struct FirmwareImage {
    unsigned char bytes[kFirmwareSize];
};

extern "C" const FirmwareImage kFirmwareImageA __asm__("lmx_firmware_image_a");
extern "C" const FirmwareImage kFirmwareImageB __asm__("lmx_firmware_image_b");
