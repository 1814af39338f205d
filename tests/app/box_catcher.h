#pragma once
// Stands in for the system's message box: records every box the program
// raises (owner, text, caption, type, thread) and keeps it "open" until the
// test dismisses it.
#include "framework/platform_headers.h"

#include <string>
#include <vector>

struct CaughtBox {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
    DWORD threadId;
};

class BoxCatcher {
public:
    BoxCatcher();   // installs itself as the framework's message box
    ~BoxCatcher();  // dismisses whatever is open and puts the previous box back

    std::vector<CaughtBox> Boxes() const;
    int OpenBoxes() const;
    bool WaitForBoxes(int count, DWORD timeoutMs = 10000) const;
    void DismissAll();     // every open box returns IDOK
    void DismissOldest();  // the box open longest returns IDOK
};
