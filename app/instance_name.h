#pragma once
// Names both the single-instance mutex and the property the running dialog
// carries, by which a second start finds it.
constexpr wchar_t kSingleInstanceName[] = L"Firmware Update Tool For KR-520/521";
