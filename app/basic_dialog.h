#pragma once
// A dialog that Enter and Escape never close; only its Close command does,
// and only while that command is enabled.
#include "framework/framework.h"

class CBasicDlg : public CDialog {
public:
    explicit CBasicDlg(UINT nIDTemplate, CWnd* pParentWnd = nullptr) : CDialog(nIDTemplate, pParentWnd) {}

protected:
    void OnOK() override;
    void OnCancel() override;
};
