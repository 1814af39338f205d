// Message-map lookup shared by windows, the application and threads.
#include "framework/cmd_target.h"

CCmdTarget::~CCmdTarget() = default;

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

static bool EntryMatches(const AFX_MSGMAP_ENTRY& entry, UINT nMessage, WPARAM wParam) {
    if (entry.nMessage != nMessage) return false;
    if (nMessage != WM_COMMAND) return true;
    const UINT id = LOWORD(wParam);
    return entry.nCode == HIWORD(wParam) && entry.nID <= id && id <= entry.nLastID;
}

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* pMap, UINT nMessage, WPARAM wParam) {
    for (; pMap != nullptr; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = pMap->lpEntries; entry->pfnInvoke != nullptr; ++entry) {
            if (EntryMatches(*entry, nMessage, wParam)) return entry;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode) {
    const WPARAM wParam = MAKEWPARAM(nID, nCode);
    const AFX_MSGMAP_ENTRY* entry = AfxFindMessageEntry(GetMessageMap(), WM_COMMAND, wParam);
    if (entry == nullptr) return FALSE;
    entry->pfnInvoke(this, wParam, 0);
    return TRUE;
}
