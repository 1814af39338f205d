#pragma once
// The Windows headers every part of the framework needs, in the one order
// that works: winsock2.h must come before windows.h, or windows.h drags in
// the old winsock.h and the two collide.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
