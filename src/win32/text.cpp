#include "win32/text.h"

#include <windows.h>

namespace tc::win32 {

namespace {
std::wstring Decode(unsigned codePage, const std::string& bytes) {
    if (bytes.empty()) return {};
    const int size = ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), size);
    return wide;
}
}  // namespace

std::wstring Wide(const std::string& utf8) { return Decode(CP_UTF8, utf8); }

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const auto length = static_cast<int>(wide.size());
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring DecodeCp1251(const std::string& bytes) { return Decode(1251, bytes); }

std::wstring WithCrLf(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size() + text.size() / 16);
    for (const wchar_t ch : text) {
        if (ch == L'\n') out += L'\r';
        out += ch;
    }
    return out;
}

}  // namespace tc::win32
