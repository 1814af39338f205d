// The application's globals: the one application object, its main window,
// and the modules that hold code and resources.
#include <atomic>

#include "framework/afx_functions.h"
#include "framework/app_registry.h"
#include "framework/win_app.h"

namespace {
std::atomic<CWinApp*> g_app{nullptr};
std::atomic<HINSTANCE> g_resourceHandle{nullptr};
}  // namespace

void afx_detail::RegisterApp(CWinApp* app) {
    CWinApp* none = nullptr;
    g_app.compare_exchange_strong(none, app);
}

void afx_detail::UnregisterApp(CWinApp* app) {
    CWinApp* expected = app;
    g_app.compare_exchange_strong(expected, nullptr);
}

CWinApp* AfxGetApp() { return g_app.load(); }

CWnd* AfxGetMainWnd() {
    CWinApp* app = AfxGetApp();
    return app ? app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle() {
    CWinApp* app = AfxGetApp();
    return app && app->m_hInstance ? app->m_hInstance : ::GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle() {
    HINSTANCE resources = g_resourceHandle.load();
    return resources ? resources : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstResource) { g_resourceHandle.store(hInstResource); }

HINSTANCE AfxFindStringResourceHandle(UINT nID) {
    const HINSTANCE candidates[] = {AfxGetResourceHandle(), AfxGetInstanceHandle()};
    for (HINSTANCE module : candidates) {
        const wchar_t* text = nullptr;
        if (module != nullptr && ::LoadStringW(module, nID, reinterpret_cast<LPWSTR>(&text), 0) > 0) return module;
    }
    return nullptr;
}

BOOL AfxEnableControlContainer() { return TRUE; }
