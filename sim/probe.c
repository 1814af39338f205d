/* Watches and drives the updater's dialog from outside its process.
 * Reads one command per line on stdin and answers one JSON line each:
 *   state    what the dialog shows (message 1007, bar 1006, button 1002,
 *            version 1004) and the message boxes of its process
 *   click    presses the start button, if it is enabled
 *   ok       presses OK on the process's message box
 *   close    sends the dialog the Close command
 *   windows  lists every visible top-level window (to spot crash dialogs)
 *   tick     the system tick count, comparable with the agent's stamps
 *   quit
 * The Close command's grayed state cannot be read from here under Wine;
 * the agent inside the updater reports it. */
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#define TEXT_CHARS 2048

static const WCHAR kCaption[] = L"LMX-A20\xFF0FLMX-B20\x7528\x30D5\x30A1\x30FC\x30E0\x30A6\x30A7\x30A2\x30FB"
                                L"\x30D0\x30FC\x30B8\x30E7\x30F3\x30A2\x30C3\x30D7\x30BD\x30D5\x30C8";

static void PutJsonString(const WCHAR* s)
{
    putchar('"');
    for (; *s; s++) {
        if (*s >= 0x20 && *s < 0x7F && *s != '"' && *s != '\\')
            putchar((char)*s);
        else
            printf("\\u%04x", (unsigned)*s);
    }
    putchar('"');
}

static void ControlText(HWND parent, int id, WCHAR* out)
{
    DWORD_PTR ignored;
    out[0] = 0;
    HWND control = GetDlgItem(parent, id);
    if (control && !SendMessageTimeoutW(control, WM_GETTEXT, TEXT_CHARS, (LPARAM)out, SMTO_ABORTIFHUNG, 2000, &ignored))
        out[0] = 0;
}

typedef struct Search {
    HWND dialog;
    int dialogs;
    DWORD pid;
    HWND box;
    int boxes;
} Search;

static BOOL CALLBACK FindDialog(HWND hwnd, LPARAM param)
{
    Search* search = (Search*)param;
    WCHAR caption[128];
    if (IsWindowVisible(hwnd) && InternalGetWindowText(hwnd, caption, 128) && lstrcmpW(caption, kCaption) == 0) {
        if (!search->dialog)
            search->dialog = hwnd;
        search->dialogs++;
    }
    return TRUE;
}

static BOOL IsBoxOf(HWND hwnd, const Search* search)
{
    DWORD pid = 0;
    WCHAR cls[64];
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->pid || hwnd == search->dialog || !IsWindowVisible(hwnd))
        return FALSE;
    GetClassNameW(hwnd, cls, 64);
    return lstrcmpW(cls, L"#32770") == 0;
}

static BOOL CALLBACK PrintBox(HWND hwnd, LPARAM param)
{
    Search* search = (Search*)param;
    WCHAR caption[256], text[TEXT_CHARS];
    if (!IsBoxOf(hwnd, search))
        return TRUE;
    InternalGetWindowText(hwnd, caption, 256);
    ControlText(hwnd, 0xFFFF, text);
    printf(search->boxes++ ? ",{\"caption\":" : "{\"caption\":");
    PutJsonString(caption);
    printf(",\"text\":");
    PutJsonString(text);
    printf("}");
    if (!search->box)
        search->box = hwnd;
    return TRUE;
}

static void FindAll(Search* search)
{
    memset(search, 0, sizeof *search);
    EnumWindows(FindDialog, (LPARAM)search);
    if (search->dialog)
        GetWindowThreadProcessId(search->dialog, &search->pid);
}

static void PrintState(void)
{
    Search search;
    WCHAR text[TEXT_CHARS];
    FindAll(&search);
    if (!search.dialog) {
        printf("{\"found\":0}\n");
        return;
    }
    HWND bar = GetDlgItem(search.dialog, 1006);
    HWND button = GetDlgItem(search.dialog, 1002);
    DWORD_PTR pos = (DWORD_PTR)-1;
    if (bar)
        SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000, &pos);
    printf("{\"found\":1,\"dialogs\":%d,\"pid\":%lu,\"pos\":%d,\"button\":%d,\"message\":", search.dialogs,
           (unsigned long)search.pid, (int)pos, button ? (IsWindowEnabled(button) ? 1 : 0) : -1);
    ControlText(search.dialog, 1007, text);
    PutJsonString(text);
    printf(",\"version\":");
    ControlText(search.dialog, 1004, text);
    PutJsonString(text);
    printf(",\"boxes\":[");
    EnumWindows(PrintBox, (LPARAM)&search);
    printf("]}\n");
}

static void Click(void)
{
    Search search;
    FindAll(&search);
    HWND button = search.dialog ? GetDlgItem(search.dialog, 1002) : NULL;
    if (!button)
        printf("{\"done\":0,\"why\":\"no dialog\"}\n");
    else if (!IsWindowEnabled(button))
        printf("{\"done\":0,\"why\":\"disabled\"}\n");
    else {
        DWORD tick = GetTickCount();
        PostMessageW(button, BM_CLICK, 0, 0);
        printf("{\"done\":1,\"t\":%lu}\n", (unsigned long)tick);
    }
}

static BOOL CALLBACK FindBox(HWND hwnd, LPARAM param)
{
    Search* search = (Search*)param;
    if (IsBoxOf(hwnd, search)) {
        search->box = hwnd;
        return FALSE;
    }
    return TRUE;
}

static void PressOk(void)
{
    Search search;
    FindAll(&search);
    if (search.dialog)
        EnumWindows(FindBox, (LPARAM)&search);
    if (!search.box) {
        printf("{\"done\":0,\"why\":\"no box\"}\n");
        return;
    }
    PostMessageW(search.box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    printf("{\"done\":1}\n");
}

static void Close(void)
{
    Search search;
    FindAll(&search);
    if (!search.dialog) {
        printf("{\"done\":0,\"why\":\"no dialog\"}\n");
        return;
    }
    PostMessageW(search.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    printf("{\"done\":1}\n");
}

static int g_windows;

static BOOL CALLBACK PrintTopWindow(HWND hwnd, LPARAM param)
{
    (void)param;
    WCHAR cls[64], caption[256];
    DWORD pid = 0;
    if (!IsWindowVisible(hwnd))
        return TRUE;
    GetWindowThreadProcessId(hwnd, &pid);
    GetClassNameW(hwnd, cls, 64);
    InternalGetWindowText(hwnd, caption, 256);
    printf(g_windows++ ? ",{\"pid\":%lu,\"class\":" : "{\"pid\":%lu,\"class\":", (unsigned long)pid);
    PutJsonString(cls);
    printf(",\"caption\":");
    PutJsonString(caption);
    printf("}");
    return TRUE;
}

static void Windows(void)
{
    g_windows = 0;
    printf("{\"windows\":[");
    EnumWindows(PrintTopWindow, 0);
    printf("]}\n");
}

int main(void)
{
    char command[64];
    static char buffer[1 << 16];
    setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    printf("{\"ready\":1}\n");
    fflush(stdout);
    while (fgets(command, sizeof command, stdin)) {
        command[strcspn(command, "\r\n")] = 0;
        if (!strcmp(command, "state"))
            PrintState();
        else if (!strcmp(command, "click"))
            Click();
        else if (!strcmp(command, "ok"))
            PressOk();
        else if (!strcmp(command, "close"))
            Close();
        else if (!strcmp(command, "windows"))
            Windows();
        else if (!strcmp(command, "tick"))
            printf("{\"t\":%lu}\n", (unsigned long)GetTickCount());
        else if (!strcmp(command, "quit"))
            break;
        else
            printf("{\"error\":\"unknown command\"}\n");
        fflush(stdout);
    }
    return 0;
}
