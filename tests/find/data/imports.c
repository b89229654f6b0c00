/* A small program that imports a handful of kernel32 and user32 functions; the A form
   of CreateFile and the nested names CloseThreadpool / CloseThreadpoolWait are on purpose. */
#include <windows.h>
void __stdcall start(void)
{
    HANDLE h = CreateFileA("x", GENERIC_READ, 0, 0, OPEN_EXISTING, 0, 0);
    CloseHandle(h);
    FARPROC p = GetProcAddress(GetModuleHandleW(L"kernel32"), "lstrlenA");
    PTP_WAIT w = CreateThreadpoolWait(0, 0, 0);
    CloseThreadpoolWait(w);
    MessageBoxA(0, "hello", "Vorn", MB_OK);
    ExitProcess(p != 0);
}
