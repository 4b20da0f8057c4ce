// The peers for the Windows start-up time, at the program's window size: the
// least a Win32 window with one owner-drawn child does, and with "controls",
// the least a window with the program's own controls does: the layout's
// buttons, labels, combo boxes and memo as plain system controls, the grid and
// the chart as owner-drawn children, in the default GUI font.
#include <windows.h>

#include <commctrl.h>

#include "app/layout.h"

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        ::FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        return TRUE;
    }
    if (message == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcW(window, message, wParam, lParam);
}

HWND Child(HWND parent, const wchar_t* kind, DWORD style, int x, int y, int width, int height) {
    return ::CreateWindowExW(0, kind, L"", WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

void CreateLayoutControls(HWND window) {
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&common);
    const auto font = reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT));
    for (const tc::FormControl& c : tc::kForm1Layout) {
        HWND child = nullptr;
        switch (c.kind) {
            case tc::FormControl::Memo:
                child = Child(window, L"EDIT", WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY, c.x,
                              c.y, c.width, c.height);
                break;
            case tc::FormControl::Button:
                child = Child(window, L"BUTTON", BS_PUSHBUTTON, c.x, c.y, c.width, c.height);
                break;
            case tc::FormControl::Combo:
                child = Child(window, L"COMBOBOX", CBS_DROPDOWN | WS_VSCROLL, c.x, c.y, c.width, c.height * 8);
                break;
            case tc::FormControl::Label: child = Child(window, L"STATIC", 0, c.x, c.y, c.width, c.height); break;
            case tc::FormControl::Grid:
            case tc::FormControl::Chart:
                child = Child(window, L"STATIC", SS_OWNERDRAW, c.x, c.y, c.width, c.height);
                break;
        }
        ::SendMessageW(child, WM_SETFONT, font, FALSE);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int show) {
    WNDCLASSW type{};
    type.lpfnWndProc = Procedure;
    type.hInstance = instance;
    type.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = L"MinimalWindow";
    ::RegisterClassW(&type);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, tc::kClientWidth, tc::kClientHeight};
    ::AdjustWindowRect(&frame, style, FALSE);
    HWND window =
        ::CreateWindowW(L"MinimalWindow", L"timingcalc minimal window", style, CW_USEDEFAULT, CW_USEDEFAULT,
                        frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (::lstrcmpW(arguments, L"controls") == 0)
        CreateLayoutControls(window);
    else
        Child(window, L"STATIC", SS_OWNERDRAW, 416, 16, 449, 505);
    ::ShowWindow(window, show);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
