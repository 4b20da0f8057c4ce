// Runs the real AVR assembler on a source in its own folder.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tc::test {

struct AvraRun {
    bool built = false;  // avra ended well and left the .hex beside the source
    std::string log;     // what avra printed, for a failure's message
};

// Images of sources by the FNV-1a hash of their bytes, in the folder that
// TIMINGCALC_AVRA_IMAGES names: the native tests leave each image avra built
// there, and the Windows tests, which cannot run avra under wine, take it from
// there for the same source.
inline std::filesystem::path KeptImage(const std::filesystem::path& source) {
    const char* folder = std::getenv("TIMINGCALC_AVRA_IMAGES");
    if (!folder || !*folder) return {};
    std::ifstream in(source, std::ios::binary);
    std::uint64_t hash = 14695981039346656037ull;
    for (char c = 0; in.get(c);) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    std::ostringstream name;
    name << std::hex << hash << ".hex";
    return std::filesystem::path(folder) / name.str();
}

// Through the shell, not QProcess: qemu-user refuses the vfork-like clone that
// QProcess starts children with (EINVAL), while the shell's plain fork works.
inline AvraRun Avra(const std::filesystem::path& source) {
    AvraRun run;
    const std::filesystem::path image = std::filesystem::path(source).replace_extension(".hex");
    const std::filesystem::path kept = KeptImage(source);
    std::error_code error;
#ifdef _WIN32
    run.built = !kept.empty() &&
                std::filesystem::copy_file(kept, image, std::filesystem::copy_options::overwrite_existing, error);
    if (!run.built)
        run.log = "no image of this source in TIMINGCALC_AVRA_IMAGES (\"" + kept.string() +
                  "\"): the native tests keep them there, scripts/cross runs them first";
#else
    const std::filesystem::path log = std::filesystem::path(source).replace_extension(".avra-log");
    const std::string command = "cd '" + source.parent_path().string() + "' && avra -fI '" +
                                source.filename().string() + "' >'" + log.string() + "' 2>&1";
    const bool ended = std::system(command.c_str()) == 0;
    std::ostringstream text;
    text << std::ifstream(log).rdbuf();
    run.log = text.str();
    run.built = ended && std::filesystem::exists(image);
    if (run.built && !kept.empty()) {
        std::filesystem::create_directories(kept.parent_path(), error);
        std::filesystem::copy_file(image, kept, std::filesystem::copy_options::overwrite_existing, error);
    }
#endif
    return run;
}

}  // namespace tc::test
