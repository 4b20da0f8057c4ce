#include "os/files.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <random>
#include <system_error>

namespace tc::os {

namespace fs = std::filesystem;

fs::path PathOf(const std::string& utf8) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

namespace {

// The file open for reading, unless it is a folder or cannot be opened; errno cleared for the read.
bool OpenForReading(const std::string& path, std::ifstream& in) {
    const fs::path name = PathOf(path);
    std::error_code ignored;
    if (!fs::is_directory(name, ignored)) in.open(name, std::ios::binary);
    errno = 0;
    return in.is_open();
}

std::string ReadErrorText(const std::string& path) {
    const int error = errno;
    return "Read error on \"" + path + "\". " + std::generic_category().message(error ? error : EIO);
}

constexpr std::size_t kChunk = 1 << 16;

}  // namespace

FileStore::ReadResult DiskFiles::Read(const std::string& path) {
    ReadResult result;
    std::ifstream in;
    if (!OpenForReading(path, in)) {
        result.status = ReadResult::CannotOpen;
        return result;
    }
    // Straight into the string when the size is known; then whatever more there is,
    // for files that do not know their size or grew meanwhile.
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size > 0 && in) {
        result.bytes.resize(static_cast<std::size_t>(size));
        in.read(result.bytes.data(), size);
        result.bytes.resize(static_cast<std::size_t>(in.gcount()));
    }
    in.clear(in.rdstate() & std::ios::badbit);
    char buffer[kChunk];
    while (in) {
        in.read(buffer, sizeof buffer);
        result.bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        std::string error = ReadErrorText(path);
        result = {};
        result.status = ReadResult::ReadError;
        result.error = std::move(error);
    }
    return result;
}

std::optional<std::string> DiskFiles::Write(const std::string& path, std::span<const std::string_view> pieces) {
    std::error_code error;
    const fs::path target = detail::ResolveLink(path, error);
    if (error) return error.message();
    return detail::ReplaceWhole(target, pieces);
}

namespace detail {

fs::path ResolveLink(const std::string& path, std::error_code& error) {
    fs::path target = PathOf(path);
    error.clear();
    if (fs::is_symlink(target, error)) return fs::canonical(target, error);
    error.clear();  // no such file yet is no error here
    return target;
}

fs::path TemporaryBeside(const fs::path& target) {
    // Random, so that two programs saving into one folder never pick the same name.
    static std::mt19937 random{std::random_device{}()};
    static constexpr char kHex[] = "0123456789abcdef";
    std::string suffix;
    for (int i = 0; i < 8; ++i) suffix += kHex[random() & 15u];
    return target.parent_path() / (".timingcalc-" + suffix + ".tmp");
}

}  // namespace detail

}  // namespace tc::os
