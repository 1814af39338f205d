#include "app/update_dialog.h"

#include "app/instance_name.h"
#include "app/resource_strings.h"
#include "app/state_table.h"
#include "app/task_registry.h"
#include "app/version_label.h"
#include "app/worker_tasks.h"
#include "logic/device_info.h"
#include "res/resource.h"

#include <dbt.h>

namespace {
constexpr DWORD kTaskWaitMs = 30000;
}  // namespace

BEGIN_MESSAGE_MAP(CKR52xBriselUpdateDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_MESSAGE(WM_DEVICECHANGE, &CKR52xBriselUpdateDlg::OnDeviceChange)
    ON_MESSAGE(WM_REFRESH_UI, &CKR52xBriselUpdateDlg::OnRefreshUi)
    ON_MESSAGE(WM_CHECK_RESULT, &CKR52xBriselUpdateDlg::OnCheckResult)
    ON_MESSAGE(WM_SET_STATE, &CKR52xBriselUpdateDlg::OnSetState)
    ON_MESSAGE(WM_SET_PROGRESS, &CKR52xBriselUpdateDlg::OnSetProgress)
    ON_BN_CLICKED(IDC_START_UPDATE, &CKR52xBriselUpdateDlg::OnBnClickedStartUpdate)
END_MESSAGE_MAP()

CKR52xBriselUpdateDlg::CKR52xBriselUpdateDlg()
    : CBasicDlg(IDD_UPDATE_DIALOG, nullptr), m_hIcon(nullptr), m_state(STATE_NO_DEVICE) {
    m_hIcon = ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_APP_ICON));
}

CKR52xBriselUpdateDlg::~CKR52xBriselUpdateDlg() {}

void CKR52xBriselUpdateDlg::DoDataExchange(CDataExchange* pDX) {
    CBasicDlg::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_VERSION_TEXT, m_strVersion);
    DDX_Text(pDX, IDC_DESCRIPTION, m_strDescription);
    DDX_Text(pDX, IDC_MESSAGE, m_strMessage);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_START_UPDATE, m_btnStartUpdate);
}

BOOL CKR52xBriselUpdateDlg::OnInitDialog() {
    CBasicDlg::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    ::SetPropW(m_hWnd, kSingleInstanceName, reinterpret_cast<HANDLE>(1));
    FormatVersionLabel();
    InitControls();
    StartConnectionCheck();
    UpdateData(FALSE);
    return TRUE;
}

void CKR52xBriselUpdateDlg::FormatVersionLabel() { m_strVersion = OwnVersionLabel(); }

void CKR52xBriselUpdateDlg::InitControls() {
    m_btnStartUpdate.EnableWindow(FALSE);
    if (CMenu* systemMenu = GetSystemMenu(FALSE)) systemMenu->EnableMenuItem(SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
    LoadResourceString(m_strDescription, IDS_DESCRIPTION);
    UpdateData(FALSE);
    InvalidateRect(nullptr, TRUE);
}

void CKR52xBriselUpdateDlg::StartConnectionCheck() {
    switch (m_state) {
        case STATE_NO_DEVICE:
        case STATE_UPDATE_AVAILABLE:
        case STATE_UP_TO_DATE:
        case STATE_COMPLETED:
        case STATE_FAILED:
            // Between the press and the update's outcome no check may open
            // the printer; once the failure is stored the update is over.
            if (m_bUpdateInProgress && m_state != STATE_FAILED) break;
            if (m_bCheckRunning) {
                m_bCheckAgain = TRUE;
            } else {
                StartCheckTask();
            }
            break;
        case STATE_CHECKING:
        case STATE_UPDATING:
            break;  // a check or the update is already running
        case STATE_WAIT_DISCONNECT:
            if (CheckConnection() == 0) m_state = STATE_COMPLETED;
            break;
        default:
            return;
    }
    ApplyState();
    UpdateData(FALSE);
}

void CKR52xBriselUpdateDlg::StartCheckTask() {
    if (m_bClosing) return;
    m_bCheckRunning = StartRecordedTask(ConnectionCheckThread, this, THREAD_PRIORITY_ABOVE_NORMAL) != nullptr;
}

void CKR52xBriselUpdateDlg::ApplyState() {
    const StatePresentation* row = PresentationOf(m_state);
    if (row == nullptr) return;
    if (CMenu* systemMenu = GetSystemMenu(FALSE)) {
        systemMenu->EnableMenuItem(SC_CLOSE, MF_BYCOMMAND | (row->closeEnabled ? MF_ENABLED : MF_GRAYED));
    }
    m_btnStartUpdate.EnableWindow(row->buttonEnabled ? TRUE : FALSE);
    if (row->messageId != 0) LoadResourceString(m_strMessage, row->messageId);
    if (row->progress >= 0) SetProgressClamped(row->progress);
    // Only the update task leads to these two: its outcome is now on screen.
    if (m_state == STATE_WAIT_DISCONNECT || m_state == STATE_FAILED) m_bUpdateInProgress = FALSE;
    if (m_state == STATE_FAILED) m_state = STATE_NO_DEVICE;
}

void CKR52xBriselUpdateDlg::SetProgressClamped(int position) {
    int lower = 0;
    int upper = 0;
    m_progress.GetRange(lower, upper);
    if (position < lower) {
        position = lower;
    } else if (position > upper) {
        position = upper;
    }
    m_progress.SetPos(position);
}

void CKR52xBriselUpdateDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
    RECT client = {};
    GetClientRect(&client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CKR52xBriselUpdateDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

LRESULT CKR52xBriselUpdateDlg::OnDeviceChange(WPARAM wParam, LPARAM) {
    if (wParam == DBT_DEVNODES_CHANGED) StartConnectionCheck();
    return 0;
}

LRESULT CKR52xBriselUpdateDlg::OnRefreshUi(WPARAM, LPARAM) {
    ApplyState();
    UpdateData(FALSE);
    return 0;
}

LRESULT CKR52xBriselUpdateDlg::OnCheckResult(WPARAM wParam, LPARAM) {
    const int code = static_cast<int>(wParam);
    if (code != CHECK_CHECKING) m_bCheckRunning = FALSE;
    // Once the update has begun, no check answer may replace what it shows.
    const bool updateOwnsDialog =
        m_bUpdateInProgress || m_state == STATE_UPDATING || m_state == STATE_WAIT_DISCONNECT;
    if (!updateOwnsDialog) {
        m_state = StateForCheckResult(code);
        ApplyState();
        UpdateData(FALSE);
    }
    if (!m_bCheckRunning) OnCheckEnded();
    return 0;
}

void CKR52xBriselUpdateDlg::OnCheckEnded() {
    if (m_bCheckAgain) {
        m_bCheckAgain = FALSE;
        StartConnectionCheck();
        if (m_bCheckRunning) return;  // a pending press waits for this answer too
    }
    if (m_bStartAfterCheck) {
        m_bStartAfterCheck = FALSE;
        if (m_state == STATE_UPDATE_AVAILABLE) StartUpdateTask();
    }
}

LRESULT CKR52xBriselUpdateDlg::OnSetState(WPARAM wParam, LPARAM) {
    m_state = static_cast<UpdateState>(wParam & 0xFF);
    return 0;
}

LRESULT CKR52xBriselUpdateDlg::OnSetProgress(WPARAM wParam, LPARAM) {
    SetProgressClamped(static_cast<int>(static_cast<INT_PTR>(wParam)));
    return 0;
}

void CKR52xBriselUpdateDlg::OnBnClickedStartUpdate() {
    // One update at a time, and only for a printer the last check found in
    // need of it (the button is enabled in no other state).
    if (m_bUpdateInProgress || m_bStartAfterCheck || m_state != STATE_UPDATE_AVAILABLE) return;
    if (m_bCheckRunning) {
        // Never open the printer from two tasks at once: start once the
        // check has answered, if it still finds the update needed.
        m_bStartAfterCheck = TRUE;
        m_btnStartUpdate.EnableWindow(FALSE);
        return;
    }
    StartUpdateTask();
}

void CKR52xBriselUpdateDlg::StartUpdateTask() {
    if (m_bClosing || RunningTaskCount(UpdateThread) > 0) return;
    m_bUpdateInProgress = TRUE;
    m_btnStartUpdate.EnableWindow(FALSE);
    if (StartRecordedTask(UpdateThread, nullptr, THREAD_PRIORITY_NORMAL) == nullptr) {
        // Nothing runs: the dialog stays as it was, and a new press may try again.
        m_bUpdateInProgress = FALSE;
        m_btnStartUpdate.EnableWindow(m_state == STATE_UPDATE_AVAILABLE ? TRUE : FALSE);
    }
}

BOOL CKR52xBriselUpdateDlg::DestroyWindow() {
    if (m_hWnd != nullptr) ::RemovePropW(m_hWnd, kSingleInstanceName);
    m_bClosing = TRUE;
    WaitForRecordedTasks(kTaskWaitMs);
    return CBasicDlg::DestroyWindow();
}
