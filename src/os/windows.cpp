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

std::vector<std::string> CommandLine(int, char*[]) {
    // argv holds the arguments in the ANSI code page, which loses what it cannot spell.
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide && i < count; ++i) arguments.push_back(Utf8OfWide(wide[i], static_cast<int>(::wcslen(wide[i]))));
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
    if (consoleCodePage != 0 && consoleCodePage != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8)) std::atexit(RestoreConsole);
    // The same bytes as on every other system: LF, not the C runtime's CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

namespace detail {

std::optional<std::string> ReplaceWhole(const fs::path& target, std::span<const std::string_view> pieces) {
    const std::wstring name = target.wstring();
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return ErrorText(error);
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return ErrorText(ERROR_ACCESS_DENIED);  // what Windows says to writing a folder
    } else if (attributes & FILE_ATTRIBUTE_READONLY) {
        return ErrorText(ERROR_ACCESS_DENIED);
    }

    fs::path temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; file == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
        temporary = TemporaryBeside(target);
        file = ::CreateFileW(temporary.wstring().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) return ErrorText(::GetLastError());
    }
    if (file == INVALID_HANDLE_VALUE) return ErrorText(ERROR_FILE_EXISTS);

    bool done = true;
    for (const std::string_view bytes : pieces) done = done && WriteAll(file, bytes);
    // On the disk before the rename, so that a crash leaves the old file or the new one, never a part.
    done = done && ::FlushFileBuffers(file);
    DWORD error = done ? 0 : ::GetLastError();
    ::CloseHandle(file);
    const std::wstring from = temporary.wstring();
    if (done && exists) {
        // ReplaceFile keeps the old file's attributes and access rights. With a backup name,
        // a failure halfway leaves the old file under one of the two names, never none.
        const std::wstring backup = TemporaryBeside(target).wstring();
        if (::ReplaceFileW(name.c_str(), from.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                           nullptr)) {
            ::DeleteFileW(backup.c_str());
        } else {
            done = false;
            error = ::GetLastError();
            // The new file stayed under its temporary name, the old one went to the backup: put it back.
            if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) ::MoveFileExW(backup.c_str(), name.c_str(), 0);
        }
    }
    if (done && !exists && !::MoveFileExW(from.c_str(), name.c_str(), MOVEFILE_WRITE_THROUGH)) {
        done = false;
        error = ::GetLastError();
    }
    if (!done) {
        ::DeleteFileW(from.c_str());
        return ErrorText(error ? error : ERROR_WRITE_FAULT);
    }
    return std::nullopt;
}

}  // namespace detail

}  // namespace tc::os
