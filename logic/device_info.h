#pragma once
// Which printer is attached, which firmware it runs, and whether that
// firmware needs the update.
#include <cstdint>

#include "link/communication_base.h"

constexpr std::uint16_t MODEL_A = 0x0180;
constexpr std::uint16_t MODEL_B = 0x0181;

// Printers below these versions need the update.
constexpr std::uint16_t kVersionThresholdA = 0x2510;
constexpr std::uint16_t kVersionThresholdB = 0x18D1;

// Check result codes, carried to the dialog as WM_CHECK_RESULT's wParam.
constexpr int CHECK_CHECKING = 1;
constexpr int CHECK_UPDATE_NEEDED = 2;
constexpr int CHECK_UP_TO_DATE = 3;
constexpr int CHECK_FAILED = 4;

// The ESC 'I' exchange on an open link the caller owns. Returns 1 when it
// completed (outputs written only when a payload came), 0 on a link error or
// a reply too short to carry model and version.
int QueryDeviceInfo(ICommunicationBase& link, std::uint16_t& modelCode, std::uint16_t& firmwareVersion);

// Opens a link of its own, queries and closes. Outputs untouched on failure.
int ReadDeviceInfo(std::uint16_t& modelCode, std::uint16_t& firmwareVersion);

// 1 when a printer was found and opened.
int CheckConnection();

// CHECK_UPDATE_NEEDED, CHECK_UP_TO_DATE or CHECK_FAILED.
int CheckFirmwareVersion();
