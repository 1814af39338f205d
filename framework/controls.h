#pragma once
// The common controls the dialogs bind to members.
#include "framework/wnd.h"

class CButton : public CWnd {};

class CProgressCtrl : public CWnd {
public:
    int SetPos(int nPos);  // returns the previous position
    int GetPos() const;
    void GetRange(int& nLower, int& nUpper) const;
    void SetRange32(int nLower, int nUpper);
};
