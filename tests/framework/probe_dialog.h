#pragma once
// A dialog on the test template that records what reaches it. A script runs
// at the end of OnInitDialog; it may post messages, which the modal loop then
// delivers, or end the dialog at once.
#include <functional>
#include <string>
#include <vector>

#include "framework/framework.h"
#include "tests/framework/test_resource.h"

// Private messages of the probe.
constexpr UINT WM_PROBE_ONE = WM_APP + 1;    // base and derived map
constexpr UINT WM_PROBE_TWO = WM_APP + 2;    // base map only
constexpr UINT WM_PROBE_NONE = WM_APP + 3;   // no map
constexpr UINT WM_PROBE_RUN = WM_APP + 8;    // runs m_later (lParam unused)
constexpr UINT WM_PROBE_END = WM_APP + 9;    // EndDialog(wParam)

class ProbeDialog : public CDialog {
public:
    ProbeDialog() : CDialog(IDD_PROBE) {}
    explicit ProbeDialog(UINT templateId) : CDialog(templateId) {}

    std::function<void(ProbeDialog&)> m_script;  // end of OnInitDialog
    std::function<void(ProbeDialog&)> m_later;   // on WM_PROBE_RUN
    std::vector<std::wstring> m_log;
    std::vector<std::wstring> m_paints;  // apart: painting comes whenever it likes
    bool m_paintWithDC = false;          // paint through CPaintDC instead of Default
    HDC m_paintDC = nullptr;

    CString m_text;
    CString m_label;
    CProgressCtrl m_progress;
    CButton m_button;

    // What DestroyWindow found when it was called.
    struct {
        int calls = 0;
        int handlerDepth = -1;
        bool windowExisted = false;
        bool windowVisible = true;
        bool endHandlerHadReturned = false;
    } m_atDestroy;
    DWORD m_destroyDelayMs = 0;
    HWND m_lastHwnd = nullptr;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        ++m_depth;
        const LRESULT result = CDialog::WindowProc(message, wParam, lParam);
        --m_depth;
        return result;
    }

    BOOL OnInitDialog() override {
        const BOOL result = CDialog::OnInitDialog();
        m_lastHwnd = m_hWnd;
        m_log.push_back(L"init");
        if (m_script) m_script(*this);
        return result;
    }
    void OnOK() override {
        m_log.push_back(L"OnOK");
        CDialog::OnOK();
    }
    void OnCancel() override {
        m_log.push_back(L"OnCancel");
        CDialog::OnCancel();
    }
    BOOL DestroyWindow() override {
        ++m_atDestroy.calls;
        m_atDestroy.handlerDepth = m_depth;
        m_atDestroy.windowExisted = ::IsWindow(m_hWnd) != FALSE;
        m_atDestroy.windowVisible = ::IsWindowVisible(m_hWnd) != FALSE;
        m_atDestroy.endHandlerHadReturned = m_endHandlerReturned;
        // What the program's dialog does: wait for something before the
        // window goes. Meanwhile a message arrives that must never be handled.
        ::PostMessageW(m_hWnd, WM_PROBE_ONE, 1, 1);
        if (m_destroyDelayMs) ::Sleep(m_destroyDelayMs);
        return CDialog::DestroyWindow();
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, IDC_PROBE_EDIT, m_text);
        DDX_Text(pDX, IDC_PROBE_LABEL, m_label);
        DDX_Control(pDX, IDC_PROBE_PROGRESS, m_progress);
        DDX_Control(pDX, IDC_PROBE_BUTTON, m_button);
    }

    afx_msg LRESULT OnProbeOne(WPARAM wParam, LPARAM lParam) {
        Log(L"base-one", wParam, lParam);
        return static_cast<LRESULT>(wParam + lParam);
    }
    afx_msg LRESULT OnProbeTwo(WPARAM wParam, LPARAM lParam) {
        Log(L"base-two", wParam, lParam);
        return 2;
    }
    afx_msg LRESULT OnProbeRun(WPARAM, LPARAM) {
        if (m_later) m_later(*this);
        return 0;
    }
    afx_msg LRESULT OnProbeEnd(WPARAM wParam, LPARAM) {
        m_endHandlerReturned = false;
        EndDialog(static_cast<int>(wParam));
        m_log.push_back(L"end-requested");
        m_endHandlerReturned = true;
        return 0;
    }
    afx_msg void OnPress() { m_log.push_back(L"base-press"); }
    afx_msg void OnPaint() {
        if (m_paintWithDC) {
            CPaintDC dc(this);
            m_paintDC = dc;
            dc.DrawIcon(0, 0, ::LoadIconW(nullptr, MAKEINTRESOURCEW(32512)));
        } else {
            CDialog::OnPaint();
        }
        RECT pending;
        m_paints.push_back(::GetUpdateRect(m_hWnd, &pending, FALSE) ? L"left-dirty" : L"painted");
    }
    afx_msg HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(static_cast<INT_PTR>(0x5A5A)); }

    void Log(const wchar_t* what, WPARAM wParam, LPARAM lParam) {
        m_log.push_back(std::wstring(what) + L" " + std::to_wstring(wParam) + L" " + std::to_wstring(lParam));
    }

    DECLARE_MESSAGE_MAP()

private:
    int m_depth = 0;
    bool m_endHandlerReturned = false;
};

// Overrides one message and the button of its base's map.
class DerivedProbeDialog : public ProbeDialog {
protected:
    afx_msg LRESULT OnProbeOne(WPARAM wParam, LPARAM lParam) {
        Log(L"derived-one", wParam, lParam);
        return static_cast<LRESULT>(wParam * lParam);
    }
    afx_msg void OnDerivedPress() { m_log.push_back(L"derived-press"); }
    DECLARE_MESSAGE_MAP()
};
