#include "win32/ports.h"

#include <commdlg.h>
#include <shellapi.h>

#include <vector>

#include "os/files.h"
#include "win32/text.h"

namespace tc::win32 {

char32_t LocaleDecimalSeparator() {
    wchar_t separator[8] = {};
    if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) < 2) return U'.';
    return separator[0];  // a separator outside the Basic Multilingual Plane is unheard of
}

namespace {
void Box(HWND owner, UINT icon, const wchar_t* caption, const std::string& text) {
    ::MessageBoxW(owner, Wide(text).c_str(), caption, MB_OK | icon);
}

// The folder this program was started from, with a trailing backslash.
std::wstring ProgramFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) break;
        path.resize(path.size() * 2);
    }
    std::wstring folder(path.data());
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

void BoxMessages::Warning(const std::string& text) { Box(owner_, MB_ICONWARNING, L"Warning", text); }
void BoxMessages::Error(const std::string& text) { Box(owner_, MB_ICONERROR, L"Error", text); }
void BoxMessages::AppError(const std::string& text) { Box(owner_, MB_ICONSTOP, Wide(kApplicationTitle).c_str(), text); }

Answer BoxQuestions::Ask(const Question& question) {
    // Escape and the close box answer Cancel, which keeps everything.
    switch (::MessageBoxW(owner_, Wide(question.text).c_str(), Wide(kApplicationTitle).c_str(),
                          MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES: return Answer::Yes;
        case IDNO: return Answer::No;
        default: return Answer::Cancel;
    }
}

std::optional<std::string> DialogChooser::ChooseSource(const std::string& proposedName) {
    std::vector<wchar_t> file(32768, L'\0');
    const std::wstring proposed = Wide(proposedName).substr(0, file.size() - 1);
    std::copy(proposed.begin(), proposed.end(), file.begin());
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    // No dot in the pattern: every name that ends in "asm" is listed.
    dialog.lpstrFilter = L"asm\0*asm\0";
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
    static auto* const open =
        reinterpret_cast<decltype(&::GetOpenFileNameW)>(tc::os::SystemFunction(L"comdlg32.dll", "GetOpenFileNameW"));
    if (!open || !open(&dialog)) return std::nullopt;
    return Utf8(file.data());
}

void SystemDesktop::OpenDocument(const std::string& name) {
    // From the current folder, as the original opened it; the desktop reports its own failures.
    std::vector<wchar_t> path(32768);
    const std::wstring wide = Wide(name);
    if (::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(path.size()), path.data(), nullptr) == 0) return;
    static auto* const execute =
        reinterpret_cast<decltype(&::ShellExecuteW)>(tc::os::SystemFunction(L"shell32.dll", "ShellExecuteW"));
    if (execute) execute(nullptr, L"open", path.data(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool SystemDesktop::OnSearchPath(const std::string& program) {
    wchar_t found[MAX_PATH];
    return ::SearchPathW(nullptr, Wide(program).c_str(), L".exe", MAX_PATH, found, nullptr) != 0;
}

std::string SystemDesktop::ProgramBeside(const std::string& name) {
    const std::wstring path = ProgramFolder() + Wide(name) + L".exe";
    return IsFile(path) ? Utf8(path) : std::string();
}

// A relative name is looked up in the current folder by the system itself.
bool SystemDesktop::InCurrentFolder(const std::string& name) { return IsFile(Wide(name)); }

std::string SystemDesktop::InstalledDocument(const std::string& name) {
    const std::wstring folder = ProgramFolder();
    if (folder.empty()) return {};
    const std::wstring path = folder + Wide(name);
    return IsFile(path) ? Utf8(path) : std::string();
}

bool SystemDesktop::StartDetached(const AssemblerCommand& command) {
    // The command line as the core built it: cmd.exe parses it itself.
    std::wstring line = L"\"" + Wide(command.program) + L"\" " + Wide(command.nativeArguments);
    const std::wstring folder = Wide(command.workingDirectory);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

}  // namespace tc::win32
