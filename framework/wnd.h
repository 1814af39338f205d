#pragma once
// CWnd: a C++ object bound to one window. Windows bound by subclassing
// (dialogs, and controls bound through DDX_Control) route their messages
// through the object's message map; a window that is destroyed unbinds
// itself, so no message reaches the object afterwards and m_hWnd reads null.
#include <map>
#include <memory>

#include "framework/cmd_target.h"
#include "framework/cstring.h"
#include "framework/menu.h"

class CDataExchange;

class CWnd : public CCmdTarget {
public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    ~CWnd() override;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }

    // Binding. SubclassWindow routes the window's messages through this
    // object; Attach only remembers the handle. Both fail on an unknown window
    // or when this object is already bound.
    BOOL Attach(HWND hWnd);
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND Detach();
    // The object bound to hWnd by SubclassWindow, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    virtual BOOL DestroyWindow();
    CMenu* GetSystemMenu(BOOL bRevert) const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    BOOL ShowWindow(int nCmdShow);
    BOOL IsIconic() const;
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void Invalidate(BOOL bErase = TRUE) { InvalidateRect(nullptr, bErase); }
    void CenterWindow();
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    HICON GetIcon(BOOL bBigIcon) const;
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void SetWindowText(LPCWSTR lpszString);
    CString GetWindowText() const;
    void GetWindowText(CString& rString) const;
    int GetDlgCtrlID() const;
    // The bound object for a child control, else a temporary one owned by this
    // window and valid while this window lives; null when there is no such child.
    CWnd* GetDlgItem(int nID) const;
    CWnd* SetFocus();

    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX);

    // Every message of a subclassed window passes through here.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Default processing of the message being handled right now.
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Map lookup and handler call; FALSE when no entry took the message.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Called once the window has gone and the object is unbound.
    virtual void PostNcDestroy();

    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();

    DECLARE_MESSAGE_MAP()

private:
    struct CurrentMessage {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    };
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Unbind();

    WNDPROC m_pfnSuper = nullptr;
    CurrentMessage m_current;
    mutable CMenu m_systemMenu;
    mutable std::map<HWND, std::unique_ptr<CWnd>> m_temporaryChildren;
};
