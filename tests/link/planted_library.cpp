// Stands in for a DLL that someone left in the program's folder under a
// system library's name. If it is ever loaded, it leaves a mark in the
// process environment.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) SetEnvironmentVariableW(L"LMX_PLANTED_LIBRARY_LOADED", LMX_PLANTED_NAME);
    return TRUE;
}
