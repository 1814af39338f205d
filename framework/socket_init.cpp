// Windows Sockets start-up, once per process, with the clean-up at exit.
#include <cstdlib>
#include <mutex>

#include "framework/afx_functions.h"

namespace {
std::mutex g_socketMutex;
bool g_socketsStarted = false;
WSADATA g_socketData{};

void CleanUpSockets() { ::WSACleanup(); }
}  // namespace

BOOL AfxSocketInit(WSADATA* lpwsaData) {
    std::lock_guard<std::mutex> lock(g_socketMutex);
    if (!g_socketsStarted) {
        WSADATA data{};
        if (::WSAStartup(MAKEWORD(1, 1), &data) != 0) return FALSE;
        g_socketData = data;
        g_socketsStarted = true;
        std::atexit(&CleanUpSockets);
    }
    if (lpwsaData != nullptr) *lpwsaData = g_socketData;
    return TRUE;
}
