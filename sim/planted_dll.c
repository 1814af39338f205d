/* A winusb.dll to plant beside the updater: if it is ever loaded it leaves
 * a mark (C:\lmxsim\planted-dll-loaded) and refuses to load. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        HANDLE mark = CreateFileW(L"C:\\lmxsim\\planted-dll-loaded", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, NULL);
        if (mark != INVALID_HANDLE_VALUE)
            CloseHandle(mark);
        return FALSE;
    }
    return TRUE;
}
