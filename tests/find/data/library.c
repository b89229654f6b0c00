/* A small DLL: exports two functions of its own and calls a few of user32 and kernel32. */
#include <windows.h>

__declspec(dllexport) int __stdcall VornCountW(const wchar_t *text)
{
    return lstrlenW(text);
}

__declspec(dllexport) LRESULT __stdcall VornSendW(HWND window, const wchar_t *text)
{
    SetWindowTextW(window, text);
    return SendMessageW(window, WM_SETTEXT, 0, (LPARAM)text) + GetWindowTextLengthW(window);
}

BOOL __stdcall DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
