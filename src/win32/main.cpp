// The Windows program: the Win32 window on the core.
#include <windows.h>

#include "win32/Unit1.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    tc::win32::TForm1 form;
    form.quitOnClose = true;
    ::ShowWindow(form.Handle(), show);
    return tc::win32::RunMessageLoop(form);
}
