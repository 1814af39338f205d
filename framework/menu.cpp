#include "framework/menu.h"

UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable) {
    if (m_hMenu == nullptr) return static_cast<UINT>(-1);
    return static_cast<UINT>(::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable));
}

UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const {
    if (m_hMenu == nullptr) return static_cast<UINT>(-1);
    return ::GetMenuState(m_hMenu, nID, nFlags);
}
