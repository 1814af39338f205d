/* The yardstick for the updater's start-up time: a bare dialog program
 * with a progress bar that records the moment its dialog is up and ends.
 *   bare_dialog <file>   writes the tick count to <file> */
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>

static const char* g_out;

static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    if (msg == WM_INITDIALOG) {
        CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200, 20, hwnd, (HMENU)1006,
                        GetModuleHandleW(NULL), NULL);
        PostMessageW(hwnd, WM_APP, 0, 0);
        return TRUE;
    }
    if (msg == WM_APP) {
        FILE* file = fopen(g_out, "w");
        if (file) {
            fprintf(file, "%lu\n", (unsigned long)GetTickCount());
            fclose(file);
        }
        EndDialog(hwnd, 0);
        return TRUE;
    }
    return FALSE;
}

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    g_out = argv[1];
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    struct {
        DLGTEMPLATE header;
        WORD menu, cls, title[16];
    } tpl;
    ZeroMemory(&tpl, sizeof tpl);
    tpl.header.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    tpl.header.cx = 252;
    tpl.header.cy = 211;
    lstrcpyW((WCHAR*)tpl.title, L"bare dialog");
    return (int)DialogBoxIndirectParamW(GetModuleHandleW(NULL), &tpl.header, NULL, DialogProc, 0);
}
