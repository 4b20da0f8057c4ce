// The Windows half of the file layer: the one place that calls the system directly.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>

#include "os/files.h"

namespace tc::os {

namespace fs = std::filesystem;

namespace {

std::string Utf8OfWide(const wchar_t* text, int length) {
    if (length == 0) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) ::WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

std::string ErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = length ? Utf8OfWide(buffer, static_cast<int>(length)) : "Windows error " + std::to_string(error);
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

SystemFunctionPointer SystemFunction(const wchar_t* library, const char* name) {
    HMODULE module = ::LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module ? reinterpret_cast<SystemFunctionPointer>(::GetProcAddress(module, name)) : nullptr;
}

std::vector<std::string> CommandLine(int, char*[]) {
    // argv holds the arguments in the ANSI code page, which loses what it cannot spell.
    static auto* const split =
        reinterpret_cast<decltype(&::CommandLineToArgvW)>(SystemFunction(L"shell32.dll", "CommandLineToArgvW"));
    int count = 0;
    wchar_t** wide = split ? split(::GetCommandLineW(), &count) : nullptr;
    std::vector<std::string> arguments;
    for (int i = 1; wide && i < count; ++i)
        arguments.push_back(Utf8OfWide(wide[i], static_cast<int>(::wcslen(wide[i]))));
    ::LocalFree(wide);
    return arguments;
}

namespace {
UINT consoleCodePage = 0;
void RestoreConsole() { ::SetConsoleOutputCP(consoleCodePage); }
}  // namespace

void PrepareConsole() {
    // The code page belongs to the whole console, the shell that started us included: give it back.
    consoleCodePage = ::GetConsoleOutputCP();
    if (consoleCodePage != 0 && consoleCodePage != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8))
        std::atexit(RestoreConsole);
    // The same bytes as on every other system: LF, not the C runtime's CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

namespace detail {

namespace {

// Whether the file at the target, when there is one, may be replaced.
std::optional<std::string> CheckTarget(const std::wstring& name, bool& exists) {
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return ErrorText(error);
        return std::nullopt;
    }
    // What Windows says to writing a folder, or a read-only file.
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return ErrorText(ERROR_ACCESS_DENIED);
    return std::nullopt;
}

// A new file of our own beside the target; INVALID_HANDLE_VALUE with the last error set when none could be made.
HANDLE CreateTemporary(const fs::path& target, fs::path& temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = TemporaryBeside(target);
        const HANDLE file = ::CreateFileW(temporary.wstring().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    ::SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

// Puts the written temporary file in the target's place; the error, or 0.
DWORD MoveIntoPlace(const std::wstring& from, const std::wstring& name, const fs::path& target, bool exists) {
    if (!exists) return ::MoveFileExW(from.c_str(), name.c_str(), MOVEFILE_WRITE_THROUGH) ? 0 : ::GetLastError();
    // ReplaceFile keeps the old file's attributes and access rights. With a backup name,
    // a failure halfway leaves the old file under one of the two names, never none.
    const std::wstring backup = TemporaryBeside(target).wstring();
    if (::ReplaceFileW(name.c_str(), from.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        ::DeleteFileW(backup.c_str());
        return 0;
    }
    const DWORD error = ::GetLastError();
    // The new file stayed under its temporary name, the old one went to the backup: put it back.
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) ::MoveFileExW(backup.c_str(), name.c_str(), 0);
    return error;
}

}  // namespace

std::optional<std::string> ReplaceWhole(const fs::path& target, std::span<const std::string_view> pieces) {
    const std::wstring name = target.wstring();
    bool exists = false;
    if (auto refused = CheckTarget(name, exists)) return refused;
    fs::path temporary;
    const HANDLE file = CreateTemporary(target, temporary);
    if (file == INVALID_HANDLE_VALUE) return ErrorText(::GetLastError());

    bool done = true;
    for (const std::string_view bytes : pieces) done = done && WriteAll(file, bytes);
    // On the disk before the rename, so that a crash leaves the old file or the new one, never a part.
    done = done && ::FlushFileBuffers(file);
    DWORD error = done ? 0 : ::GetLastError();
    ::CloseHandle(file);
    const std::wstring from = temporary.wstring();
    if (done) error = MoveIntoPlace(from, name, target, exists);
    if (!done || error != 0) {
        ::DeleteFileW(from.c_str());
        return ErrorText(error ? error : ERROR_WRITE_FAULT);
    }
    return std::nullopt;
}

}  // namespace detail

}  // namespace tc::os
