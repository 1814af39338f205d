/* Tells every top-level window that the device list changed, as the
 * system does when a USB device arrives or leaves. */
#include <windows.h>
#include <dbt.h>

int main(void)
{
    DWORD_PTR ignored;
    LRESULT ok = SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0,
                                     SMTO_ABORTIFHUNG | SMTO_NORMAL, 10000, &ignored);
    return ok ? 0 : 1;
}
