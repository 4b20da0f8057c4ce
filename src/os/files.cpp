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

FileStore::Comparison DiskFiles::Compare(const std::string& path, std::span<const std::string_view> pieces) {
    // Chunk by chunk against the pieces: the file is never held in memory whole.
    auto piece = pieces.begin();
    std::size_t at = 0;  // in *piece
    const auto skipUsedUp = [&] {
        while (piece != pieces.end() && at == piece->size()) {
            ++piece;
            at = 0;
        }
    };
    bool same = true;
    const auto take = [&](std::string_view chunk) {
        while (same && !chunk.empty()) {
            skipUsedUp();
            const std::size_t n = piece == pieces.end() ? 0 : std::min(chunk.size(), piece->size() - at);
            same = n != 0 && chunk.substr(0, n) == piece->substr(at, n);  // n == 0: the file is longer
            chunk.remove_prefix(n);
            at += n;
        }
        return same;
    };
    switch (detail::ReadChunks(path, take)) {
        case detail::ReadStatus::CannotOpen: return {Comparison::CannotOpen, {}};
        case detail::ReadStatus::ReadError: return {Comparison::ReadError, ReadErrorText(path)};
        case detail::ReadStatus::Done: break;
    }
    skipUsedUp();
    return {same && piece == pieces.end() ? Comparison::Same : Comparison::Differs, {}};
}

std::optional<std::string> DiskFiles::Write(const std::string& path, std::span<const std::string_view> pieces) {
    return WriteChecked(path, pieces, [] { return true; });
}

std::optional<std::string> DiskFiles::WriteChecked(const std::string& path, std::span<const std::string_view> pieces,
                                                   const std::function<bool()>& keep) {
    std::optional<std::string> error;
    bool kept = true;
    const auto checked = [&] { return kept = keep(); };
    const std::shared_ptr<detail::BegunSlot> begun = std::move(begun_);
    if (!begun || !detail::FinishBegun(*begun, path, pieces, checked, error)) {
        std::error_code ec;
        const fs::path target = detail::ResolveLink(path, ec);
        if (ec) return ec.message();
        error = detail::ReplaceWhole(target, pieces, checked);
    }
    if (!error && kept) ++writes_;
    return error;
}

void DiskFiles::Prepare(const std::string& path) {
    Drop();
    begun_ = detail::BeginReplace(path);
}

void DiskFiles::Drop() {
    if (const std::shared_ptr<detail::BegunSlot> begun = std::move(begun_)) detail::DropBegun(*begun);
}

DiskFiles::~DiskFiles() { Drop(); }

namespace detail {

fs::path ResolveLink(const std::string& path, std::error_code& error) {
    fs::path target = PathOf(path);
    error.clear();
    if (fs::is_symlink(target, error)) return fs::canonical(target, error);
    error.clear();  // no such file yet is no error here
    return target;
}

fs::path TemporaryBeside(const fs::path& target) {
    // A generator per thread: saves make their temporaries on a thread of their own too.
    thread_local std::mt19937 random{std::random_device{}()};
    static constexpr char kHex[] = "0123456789abcdef";
    std::string suffix;
    for (int i = 0; i < 8; ++i) suffix += kHex[random() & 15u];
    return target.parent_path() / (".timingcalc-" + suffix + ".tmp");
}

}  // namespace detail

}  // namespace tc::os
