// Opens the update dialog's template on its own, with the description and
// the no-device message filled in, so the template can be looked at (and
// photographed) without the program's logic. Closes itself after the number
// of seconds given as its argument (default 60).
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>

#include "res/resource.h"

namespace {

constexpr UINT_PTR kCloseTimer = 1;

void FillText(HWND dialog, int control, UINT string_id) {
  wchar_t text[1024];
  if (LoadStringW(GetModuleHandleW(nullptr), string_id, text, ARRAYSIZE(text)) > 0) {
    SetDlgItemTextW(dialog, control, text);
  }
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      FillText(dialog, IDC_DESCRIPTION, IDS_DESCRIPTION);
      FillText(dialog, IDC_MESSAGE, IDS_MSG_NO_DEVICE);
      SendDlgItemMessageW(dialog, IDC_PROGRESS, PBM_SETPOS, 30, 0);
      return TRUE;
    case WM_TIMER:
      if (wparam == kCloseTimer) DestroyWindow(dialog);
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(dialog);
      return TRUE;
    case WM_DESTROY:
      PostQuitMessage(0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  if (!InitCommonControlsEx(&controls)) return 2;
  HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_UPDATE_DIALOG), nullptr, DialogProc, 0);
  if (!dialog) return 1;
  UINT seconds = command_line && *command_line ? static_cast<UINT>(std::strtoul(command_line, nullptr, 10)) : 60;
  SetTimer(dialog, kCloseTimer, (seconds ? seconds : 60) * 1000, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return 0;
}
