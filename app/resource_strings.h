#pragma once
#include "framework/framework.h"

// Loads a string-table entry from the module that holds it. On failure the
// text stays as it was and the result is FALSE.
BOOL LoadResourceString(CString& text, UINT id);
