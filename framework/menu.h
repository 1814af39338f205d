#pragma once
// A thin holder of a menu handle; the window's system menu is the one use.
#include "framework/platform_headers.h"

class CMenu {
public:
    HMENU m_hMenu = nullptr;

    // Both return 0xFFFFFFFF ((UINT)-1) when the item does not exist or no
    // menu is held, as the system calls do.
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable);
    UINT GetMenuState(UINT nID, UINT nFlags) const;
    HMENU GetSafeHmenu() const { return m_hMenu; }
};
