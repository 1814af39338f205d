#pragma once
// Where the one application object is kept.
class CWinApp;

namespace afx_detail {
// The first object registered stays the application until it is destroyed.
void RegisterApp(CWinApp* app);
void UnregisterApp(CWinApp* app);
}  // namespace afx_detail
