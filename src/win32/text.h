// Texts at the boundary with the Windows API: the logic's UTF-8 and the system's UTF-16.
#pragma once

#include <string>

namespace tc::win32 {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
// Windows-1251 bytes for display; the source text itself stays bytes.
std::wstring DecodeCp1251(const std::string& bytes);
// An edit control breaks lines at CR LF only.
std::wstring WithCrLf(const std::wstring& text);

}  // namespace tc::win32
