#include "framework/controls.h"

int CProgressCtrl::SetPos(int nPos) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPos), 0)); }

int CProgressCtrl::GetPos() const { return static_cast<int>(::SendMessageW(m_hWnd, PBM_GETPOS, 0, 0)); }

void CProgressCtrl::GetRange(int& nLower, int& nUpper) const {
    PBRANGE range{0, 0};
    ::SendMessageW(m_hWnd, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    nLower = range.iLow;
    nUpper = range.iHigh;
}

void CProgressCtrl::SetRange32(int nLower, int nUpper) {
    SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(nLower), static_cast<LPARAM>(nUpper));
}
