#include "os/files.h"

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

FileStore::ReadResult DiskFiles::Read(const std::string& path) {
    ReadResult result;
    const fs::path name = PathOf(path);
    std::error_code ignored;
    std::ifstream in;
    if (!fs::is_directory(name, ignored)) in.open(name, std::ios::binary);
    if (!in.is_open()) {
        result.status = ReadResult::CannotOpen;
        return result;
    }
    errno = 0;
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
    char buffer[1 << 16];
    while (in) {
        in.read(buffer, sizeof buffer);
        result.bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        const int error = errno;
        result = {};
        result.status = ReadResult::ReadError;
        result.error = "Read error on \"" + path + "\". " + std::generic_category().message(error ? error : EIO);
    }
    return result;
}

std::optional<std::string> DiskFiles::Write(const std::string& path, std::span<const std::string_view> pieces) {
    std::error_code ec;
    fs::path target = PathOf(path);
    if (fs::is_symlink(target, ec)) {
        // Renaming over the link would turn it into a file of its own.
        target = fs::canonical(target, ec);
        if (ec) return ec.message();
    }
    auto error = detail::ReplaceWhole(target, pieces);
    if (!error) ++writes_;
    return error;
}

namespace detail {

fs::path TemporaryBeside(const fs::path& target) {
    static std::mt19937 random{std::random_device{}()};
    static constexpr char kHex[] = "0123456789abcdef";
    std::string suffix;
    for (int i = 0; i < 8; ++i) suffix += kHex[random() & 15u];
    return target.parent_path() / (".timingcalc-" + suffix + ".tmp");
}

}  // namespace detail

}  // namespace tc::os
