#pragma once
// CDialog: a modal dialog from a template in the resource module, run by its
// own message loop.
#include <atomic>

#include "framework/wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // A window still open when the object goes is destroyed with it.
    ~CDialog() override;

    // Creates the window (centred), runs the modal loop until EndDialog, then
    // calls the virtual DestroyWindow while the object and the window are both
    // still there, and returns the EndDialog result; -1 when the window could
    // not be created.
    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Ends the modal loop; DoModal then returns nResult. Safe from any thread.
    void EndDialog(int nResult);

    UINT GetTemplateId() const { return m_nIDTemplate; }

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND OwnerWindow() const;
    HWND CreateFromTemplate(HWND hOwner);
    void RunModalLoop();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    std::atomic<bool> m_bInModalLoop{false};
    std::atomic<int> m_nModalResult{-1};
};
