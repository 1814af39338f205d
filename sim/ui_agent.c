#include "ui_agent.h"

#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#define ID_BUTTON 1002
#define ID_VERSION 1004
#define ID_PROGRESS 1006
#define ID_MESSAGE 1007
#define TEXT_CHARS 2048
#define LINE_BYTES 16384
#define AGENT_TIMER 0x4C4D

static const WCHAR kCaption[] = L"LMX-A20\xFF0FLMX-B20\x7528\x30D5\x30A1\x30FC\x30E0\x30A6\x30A7\x30A2\x30FB"
                                L"\x30D0\x30FC\x30B8\x30E7\x30F3\x30A2\x30C3\x30D7\x30BD\x30D5\x30C8";

static WCHAR g_logPath[MAX_PATH];
static CRITICAL_SECTION g_lock;
static char g_lastLine[LINE_BYTES];
static HWND g_dialog;
static WNDPROC g_originalDialogProc;
static BOOL g_timerSet;
static volatile UINT g_lastMessage;
static volatile WPARAM g_lastParam;

typedef struct Line {
    char text[LINE_BYTES];
    size_t used;
} Line;

static void Append(Line* line, const char* s)
{
    size_t n = strlen(s);
    if (line->used + n < sizeof line->text) {
        memcpy(line->text + line->used, s, n + 1);
        line->used += n;
    }
}

/* JSON string with every non-ASCII unit escaped, so the log stays exact. */
static void AppendJsonString(Line* line, const WCHAR* s)
{
    char unit[8];
    Append(line, "\"");
    for (; *s; s++) {
        if (*s >= 0x20 && *s < 0x7F && *s != '"' && *s != '\\') {
            unit[0] = (char)*s;
            unit[1] = 0;
        } else {
            sprintf(unit, "\\u%04x", (unsigned)*s);
        }
        Append(line, unit);
    }
    Append(line, "\"");
}

static void ControlText(HWND parent, int id, WCHAR* out)
{
    DWORD_PTR ignored;
    out[0] = 0;
    HWND control = GetDlgItem(parent, id);
    if (control)
        SendMessageTimeoutW(control, WM_GETTEXT, TEXT_CHARS, (LPARAM)out, SMTO_NORMAL, 1000, &ignored);
}

typedef struct BoxSearch {
    Line* line;
    int count;
} BoxSearch;

static BOOL CALLBACK CollectBox(HWND hwnd, LPARAM param)
{
    BoxSearch* search = (BoxSearch*)param;
    DWORD pid = 0;
    WCHAR cls[64], caption[256], text[TEXT_CHARS];
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId() || hwnd == g_dialog || !IsWindowVisible(hwnd))
        return TRUE;
    GetClassNameW(hwnd, cls, 64);
    if (lstrcmpW(cls, L"#32770") != 0)
        return TRUE;
    InternalGetWindowText(hwnd, caption, 256);
    ControlText(hwnd, 0xFFFF, text);
    Append(search->line, search->count++ ? ",{\"caption\":" : "{\"caption\":");
    AppendJsonString(search->line, caption);
    Append(search->line, ",\"text\":");
    AppendJsonString(search->line, text);
    Append(search->line, "}");
    return TRUE;
}

static const char* CloseState(HWND dialog)
{
    HMENU menu = GetSystemMenu(dialog, FALSE);
    if (!menu)
        return "unknown";
    UINT state = GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND);
    if (state == (UINT)-1)
        return "missing";
    return (state & (MF_GRAYED | MF_DISABLED)) ? "grayed" : "enabled";
}

static void Snapshot(void)
{
    /* Gathered before taking the lock: reading a control of the dialog's
     * thread from the agent's thread waits for that thread. */
    WCHAR message[TEXT_CHARS], version[TEXT_CHARS];
    Line line;
    char number[64];
    HWND dialog = g_dialog;
    if (!dialog)
        return;
    line.used = 0;
    line.text[0] = 0;
    ControlText(dialog, ID_MESSAGE, message);
    ControlText(dialog, ID_VERSION, version);
    HWND bar = GetDlgItem(dialog, ID_PROGRESS);
    HWND button = GetDlgItem(dialog, ID_BUTTON);
    sprintf(number, "{\"pos\":%d,\"button\":%d,\"close\":\"", bar ? (int)SendMessageW(bar, PBM_GETPOS, 0, 0) : -1,
            button ? (IsWindowEnabled(button) ? 1 : 0) : -1);
    Append(&line, number);
    Append(&line, CloseState(dialog));
    Append(&line, "\",\"message\":");
    AppendJsonString(&line, message);
    Append(&line, ",\"version\":");
    AppendJsonString(&line, version);
    Append(&line, ",\"boxes\":[");
    BoxSearch search = {&line, 0};
    EnumWindows(CollectBox, (LPARAM)&search);
    Append(&line, "]");
    sprintf(number, ",\"last\":[%u,%d]", g_lastMessage, (int)g_lastParam);
    Append(&line, number);
    EnterCriticalSection(&g_lock);
    if (strcmp(line.text, g_lastLine) != 0) {
        strcpy(g_lastLine, line.text);
        char stamp[48];
        sprintf(stamp, ",\"t\":%lu}\n", (unsigned long)GetTickCount());
        HANDLE file = CreateFileW(g_logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written;
            WriteFile(file, line.text, (DWORD)line.used, &written, NULL);
            WriteFile(file, stamp, (DWORD)strlen(stamp), &written, NULL);
            CloseHandle(file);
        }
    }
    LeaveCriticalSection(&g_lock);
}

/* Runs on the dialog's thread: records what the dialog shows right after
 * it has handled each private message or device-list change, so no state
 * is missed however short it lasts. */
static void CALLBACK OnTimer(HWND hwnd, UINT msg, UINT_PTR id, DWORD time)
{
    (void)hwnd;
    (void)msg;
    (void)id;
    (void)time;
    Snapshot();
}

static LRESULT CALLBACK WatchProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    /* The periodic look (for message boxes, and whatever changed without a
     * message) also runs on this thread, between two messages, so it never
     * sees the dialog half-way through showing a state. */
    if (!g_timerSet)
        g_timerSet = SetTimer(hwnd, AGENT_TIMER, 25, OnTimer) != 0;
    LRESULT result = CallWindowProcW(g_originalDialogProc, hwnd, msg, wParam, lParam);
    if ((msg >= WM_APP + 1 && msg <= WM_APP + 5) || msg == WM_DEVICECHANGE) {
        g_lastMessage = msg;
        g_lastParam = wParam;
        Snapshot();
    }
    return result;
}

static BOOL CALLBACK FindDialog(HWND hwnd, LPARAM param)
{
    DWORD pid = 0;
    WCHAR caption[128];
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId() && InternalGetWindowText(hwnd, caption, 128) && lstrcmpW(caption, kCaption) == 0) {
        *(HWND*)param = hwnd;
        return FALSE;
    }
    return TRUE;
}

static void Watch(HWND dialog)
{
    g_originalDialogProc = (WNDPROC)GetWindowLongPtrW(dialog, GWLP_WNDPROC);
    SetWindowLongPtrW(dialog, GWLP_WNDPROC, (LONG_PTR)WatchProc);
}

static DWORD WINAPI AgentThread(LPVOID unused)
{
    (void)unused;
    for (;;) {
        if (!g_dialog || !IsWindow(g_dialog)) {
            HWND found = NULL;
            EnumWindows(FindDialog, (LPARAM)&found);
            if (found) {
                g_dialog = found;
                Watch(found);
                /* Lets the dialog's thread record its first look at once. */
                PostMessageW(found, WM_NULL, 0, 0);
            }
        }
        Sleep(g_dialog ? 100 : 5);
    }
    return 0;
}

void UiAgentStartIfAsked(void)
{
    DWORD n = GetEnvironmentVariableW(L"LMX_SIM_AGENT", g_logPath, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return;
    InitializeCriticalSection(&g_lock);
    HANDLE thread = CreateThread(NULL, 0, AgentThread, NULL, 0, NULL);
    if (thread)
        CloseHandle(thread);
}
