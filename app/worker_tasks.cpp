#include "app/worker_tasks.h"

#include "app/task_observers.h"
#include "app/task_registry.h"
#include "logic/device_info.h"
#include "logic/firmware_transfer.h"
#include "res/resource.h"

CWinThread* g_pWorkerThread = nullptr;

UINT ConnectionCheckThread(LPVOID pParam) {
    const CWnd* dialog = static_cast<const CWnd*>(pParam);
    CConnectionObserver observer(dialog != nullptr ? dialog->GetSafeHwnd() : nullptr);
    int result = CHECK_FAILED;
    if (CheckConnection() == 1) {
        observer.OnStart();
        result = CheckFirmwareVersion();
    }
    observer.OnFinish(result);
    ForgetFinishedTask();
    return 0;
}

UINT UpdateThread(LPVOID) {
    const CWinApp* app = AfxGetApp();
    const CWnd* mainWnd = app != nullptr ? app->m_pMainWnd : nullptr;
    CUpdateObserver observer(mainWnd != nullptr ? mainWnd->GetSafeHwnd() : nullptr);
    observer.OnStart();
    const int result = UpdateFirmware(&observer);
    observer.OnFinish(result);
    if (result != 1) AfxMessageBox(IDS_MSG_FAILED, MB_OK | MB_ICONEXCLAMATION);
    ForgetFinishedTask();
    return 0;
}
