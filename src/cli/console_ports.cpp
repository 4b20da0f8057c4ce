#include "cli/console_ports.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <system_error>

namespace tc::cli {

namespace fs = std::filesystem;

void StderrMessages::Print(const char* caption, const std::string& text) {
    out_ << caption << ": " << text << '\n' << std::flush;
    ++count_;
}

void StderrMessages::Warning(const std::string& text) { Print("Warning", text); }
void StderrMessages::Error(const std::string& text) { Print("Error", text); }
// The window captions this box with its title; on a terminal "Error" says more.
void StderrMessages::AppError(const std::string& text) { Print("Error", text); }

namespace {

std::string ErrnoText(int error) { return std::generic_category().message(error); }

std::string TemporaryName(const fs::path& target) {
    static std::mt19937 random{std::random_device{}()};
    static constexpr char kHex[] = "0123456789abcdef";
    std::string suffix;
    for (int i = 0; i < 8; ++i) suffix += kHex[random() & 15u];
    return "." + target.filename().string() + ".tmp-" + suffix;
}

}  // namespace

FileStore::ReadResult DiskFiles::Read(const std::string& path) {
    ReadResult result;
    std::error_code ignored;
    std::ifstream in;
    if (!fs::is_directory(path, ignored)) in.open(path, std::ios::binary);
    if (!in.is_open()) {
        result.status = ReadResult::CannotOpen;
        return result;
    }
    char buffer[1 << 16];
    errno = 0;
    while (in) {
        in.read(buffer, sizeof buffer);
        result.bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        const int error = errno;
        result = {};
        result.status = ReadResult::ReadError;
        result.error = "Read error on \"" + path + "\". " + ErrnoText(error ? error : EIO);
    }
    return result;
}

std::optional<std::string> DiskFiles::Write(const std::string& path, std::span<const std::string_view> pieces) {
    std::error_code ec;
    fs::path target = path;
    if (fs::is_symlink(target, ec)) {
        // Renaming over the link would turn it into a file of its own.
        target = fs::canonical(target, ec);
        if (ec) return ec.message();
    }
    const fs::file_status status = fs::status(target, ec);
    const bool exists = fs::exists(status);
    if (exists) {
        if (fs::is_directory(status)) return std::make_error_code(std::errc::is_a_directory).message();
        // The rename needs only the folder's permission: ask the file itself whether it may be changed.
        std::FILE* probe = std::fopen(target.c_str(), "r+b");
        if (!probe) return ErrnoText(errno);
        std::fclose(probe);
    }

    fs::path temporary;
    std::FILE* out = nullptr;
    for (int attempt = 0; !out && attempt < 100; ++attempt) {
        temporary = target.parent_path() / TemporaryName(target);
        out = std::fopen(temporary.c_str(), "wbx");
        if (!out && errno != EEXIST) return ErrnoText(errno);
    }
    if (!out) return ErrnoText(EEXIST);

    const auto fail = [&](std::string error) -> std::optional<std::string> {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return error;
    };
    errno = 0;
    bool written = true;
    for (const std::string_view bytes : pieces)
        written = written && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    // On the disk before the rename, so that a crash leaves the old file or the new one, never a part.
    written = written && std::fflush(out) == 0 && ::fsync(::fileno(out)) == 0;
    int error = written ? 0 : errno;
    if (std::fclose(out) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) return fail(ErrnoText(error ? error : EIO));
    if (exists) {
        fs::permissions(temporary, status.permissions(), fs::perm_options::replace, ec);
        if (ec) return fail(ec.message());
    }
    fs::rename(temporary, target, ec);
    if (ec) return fail(ec.message());
    ++writes_;
    return std::nullopt;
}

}  // namespace tc::cli
