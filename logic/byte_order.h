#pragma once
// Every multi-byte number on the wire is big-endian (network byte order).
#include <cstdint>

inline void StoreBigEndian16(unsigned char* at, std::uint16_t value) {
    at[0] = static_cast<unsigned char>(value >> 8);
    at[1] = static_cast<unsigned char>(value);
}

inline void StoreBigEndian32(unsigned char* at, std::uint32_t value) {
    StoreBigEndian16(at, static_cast<std::uint16_t>(value >> 16));
    StoreBigEndian16(at + 2, static_cast<std::uint16_t>(value));
}

inline std::uint16_t LoadBigEndian16(const unsigned char* at) {
    return static_cast<std::uint16_t>((at[0] << 8) | at[1]);
}
