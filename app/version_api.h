#pragma once
// The three version-information functions, taken from version.dll in the
// system directory at run time: that DLL is not a KnownDLL, and importing it
// would let a copy planted beside the program be loaded instead. Tests
// install functions of their own.
#include "framework/platform_headers.h"

struct VersionApi {
    DWORD(WINAPI* getFileVersionInfoSize)(LPCWSTR path, LPDWORD handle) = nullptr;
    BOOL(WINAPI* getFileVersionInfo)(LPCWSTR path, DWORD handle, DWORD length, LPVOID data) = nullptr;
    BOOL(WINAPI* verQueryValue)(LPCVOID block, LPCWSTR subBlock, LPVOID* buffer, PUINT length) = nullptr;
};

// The functions in use: installed ones, else the system's (all null when
// version.dll or one of its functions cannot be had).
VersionApi GetVersionApi();

// Installs functions of one's own and returns the previous ones; a
// default-constructed VersionApi goes back to the system's.
VersionApi SetVersionApi(const VersionApi& api);
