#pragma once
// Dialog data exchange: moving member values to controls and back.
#include "framework/cstring.h"
#include "framework/platform_headers.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;  // TRUE: controls -> members; FALSE: members -> controls
    CWnd* m_pDlgWnd;
    // The child control nIDC, or null when the dialog has none.
    HWND GetControl(int nIDC) const;
};

// Text of control nIDC <-> value. A missing control leaves both untouched.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// Binds control nIDC to rControl the first time; later calls change nothing.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
