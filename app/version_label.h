#pragma once
// The version label under the dialog: "Version 2.00" for file version
// 2.0.0.0 (major, then minor and build run together).
#include "framework/framework.h"

// Shown when the program's own version block cannot be read.
constexpr wchar_t kUnknownVersionLabel[] = L"Version -.--";

// Reads the fixed file information of `path`. FALSE (and `info` untouched)
// when any step fails or the block is too short.
BOOL ReadFixedFileInfo(const wchar_t* path, VS_FIXEDFILEINFO& info);

// The label for the running program's own file.
CString OwnVersionLabel();
