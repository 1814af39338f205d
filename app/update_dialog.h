#pragma once
// The program's one window: description, status message, progress bar,
// start button and version label, all derived from one byte of state.
#include "app/basic_dialog.h"
#include "app/update_messages.h"
#include "framework/framework.h"

class CKR52xBriselUpdateDlg : public CBasicDlg {
public:
    CKR52xBriselUpdateDlg();
    ~CKR52xBriselUpdateDlg() override;

    BOOL DestroyWindow() override;
    UpdateState GetState() const { return m_state; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void FormatVersionLabel();
    void InitControls();
    void StartConnectionCheck();
    void ApplyState();
    void SetProgressClamped(int position);

    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg LRESULT OnDeviceChange(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnRefreshUi(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCheckResult(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetState(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetProgress(WPARAM wParam, LPARAM lParam);
    afx_msg void OnBnClickedStartUpdate();
    DECLARE_MESSAGE_MAP()

private:
    void StartCheckTask();
    void StartUpdateTask();
    void OnCheckEnded();

    HICON m_hIcon;
    CString m_strVersion;
    UpdateState m_state;
    CButton m_btnStartUpdate;
    CString m_strDescription;
    CString m_strMessage;
    CProgressCtrl m_progress;

    // Checks run one at a time, so two of them never fight over the printer
    // and the answer shown is always the newest one.
    BOOL m_bCheckRunning = FALSE;   // a check task has started and not yet answered
    BOOL m_bCheckAgain = FALSE;     // the device list changed while it ran
    // A press of the start button while a check runs waits for its answer.
    BOOL m_bStartAfterCheck = FALSE;
    // From the press until the update's final state is shown: no second
    // update, no check, and no check result can replace what it shows.
    BOOL m_bUpdateInProgress = FALSE;
    // Set while DestroyWindow waits for the tasks: messages sent to the
    // window meanwhile (a device change, say) must not start new ones.
    BOOL m_bClosing = FALSE;
};
