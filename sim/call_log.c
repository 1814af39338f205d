#include "call_log.h"

#include <stdarg.h>
#include <stdio.h>
#include <windows.h>

#include "sim_state.h"

void SimLogCall(const char* format, ...)
{
    char line[512];
    int n = _snprintf(line, sizeof line - 2, "%lu ", (unsigned long)GetCurrentThreadId());
    va_list args;
    va_start(args, format);
    int m = _vsnprintf(line + n, sizeof line - 2 - n, format, args);
    va_end(args);
    n = (m < 0) ? (int)sizeof line - 2 : n + m;
    line[n++] = '\n';

    WCHAR path[MAX_PATH];
    SimDirectory(path, MAX_PATH - 20);
    lstrcatW(path, L"\\calls.log");
    DWORD saved = GetLastError();
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written;
        WriteFile(file, line, (DWORD)n, &written, NULL);
        CloseHandle(file);
    }
    SetLastError(saved);
}
