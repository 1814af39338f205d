#pragma once
// The USB platform of the running Windows. setupapi.dll and winusb.dll are
// loaded from the system directory only, never from the program's folder,
// and looked up function by function, so the program imports neither.
#include "usb_platform.h"

// Bound on first use, once per process; safe to call from any thread.
const UsbPlatform& SystemUsbPlatform();

// Binds a table from the two named libraries in the system directory. A
// library that cannot be loaded, or lacks one of the functions the link
// uses, is replaced as a whole by stand-ins that fail every call, so the
// link finds no device instead of calling through a missing entry.
UsbPlatform LoadUsbPlatform(const wchar_t* setupApiLibrary, const wchar_t* winUsbLibrary);
