#pragma once
// The free functions of the framework: the application's globals, message
// boxes, resources and Windows Sockets start-up.
#include "framework/platform_headers.h"

class CWinApp;
class CWnd;

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);
// The module whose string table holds a non-empty string nID, or null.
HINSTANCE AfxFindStringResourceHandle(UINT nID);

// Both reach AfxGetApp()->DoMessageBox on whatever thread they are called.
int AfxMessageBox(LPCWSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// A string id that no module holds gives an empty prompt.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));

// The one place where a message box reaches the system; tests put their own
// function here. Returns the previous one.
typedef int (WINAPI* AFX_MESSAGEBOX_PROC)(HWND hOwner, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);
AFX_MESSAGEBOX_PROC AfxSetMessageBoxProc(AFX_MESSAGEBOX_PROC pfnMessageBox);
int AfxCallMessageBox(HWND hOwner, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);

// WSAStartup for version 1.1 once per process; WSACleanup runs at exit.
BOOL AfxSocketInit(WSADATA* lpwsaData = nullptr);
// No controls to host here: always succeeds.
BOOL AfxEnableControlContainer();

// The entry library's WinMain lands here.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
