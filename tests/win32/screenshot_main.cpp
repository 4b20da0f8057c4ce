// Renders the Win32 window with a firmware source loaded, as a PNG, from the
// screen it is shown on (under wine, an X display):
//   win32_screenshot SOURCE OUT.png [english]
#include <windows.h>
// GDI+'s flat API, after windows.h, which it needs.
#include <gdiplus.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/recorders.h"
#include "win32/Unit1.h"
#include "win32/text.h"

namespace {

// The encoder GDI+ has for PNG.
bool PngEncoder(CLSID& clsid) {
    UINT count = 0, size = 0;
    Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::DllExports::GdipGetImageEncoders(count, size, codecs);
    for (UINT i = 0; i < count; ++i)
        if (std::wstring(codecs[i].MimeType) == L"image/png") {
            clsid = codecs[i].Clsid;
            return true;
        }
    return false;
}

// The window as the screen shows it, frame and caption included.
bool SaveWindow(HWND window, const std::wstring& path) {
    RECT rect;
    ::GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    Gdiplus::GpBitmap* image = nullptr;
    CLSID png;
    bool saved = PngEncoder(png) && Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) == 0 &&
                 Gdiplus::DllExports::GdipSaveImageToFile(image, path.c_str(), &png, nullptr) == 0;
    if (image) Gdiplus::DllExports::GdipDisposeImage(image);
    Gdiplus::GdiplusShutdown(token);
    ::DeleteObject(bitmap);
    return saved;
}

void Wait(tc::win32::TForm1& form, DWORD milliseconds) {
    const DWORD end = ::GetTickCount() + milliseconds;
    while (::GetTickCount() < end) {
        tc::win32::ProcessMessages(&form);
        ::Sleep(10);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SOURCE OUT.png [english]\n", argv[0]);
        return 2;
    }
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    tc::test::WindowRecorders recorders;
    tc::win32::TForm1 form(recorders.Services());
    ::SetWindowPos(form.Handle(), HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE);
    ::ShowWindow(form.Handle(), SW_SHOW);
    recorders.chooser.answers.push_back(std::string(argv[1]));
    form.Button1Click();
    if (argc > 3 && std::string(argv[3]) == "english") form.Button7Click();
    // The editor on an angle cell, as while editing.
    form.StringGrid1->MoveTo(4, 11);
    ::SetFocus(form.StringGrid1->Handle());
    Wait(form, 1500);
    for (const auto& m : recorders.messages.all) std::fprintf(stderr, "%s: %s\n", m.kind.c_str(), m.text.c_str());
    return SaveWindow(form.Handle(), tc::win32::Wide(argv[2])) ? 0 : 1;
}
