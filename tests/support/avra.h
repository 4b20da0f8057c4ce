// Runs the real AVR assembler on a source in its own folder.
#pragma once

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

// Through the shell, not QProcess: qemu-user refuses the vfork-like clone that
// QProcess starts children with (EINVAL), while the shell's plain fork works.
inline AvraRun Avra(const std::filesystem::path& source) {
    AvraRun run;
#ifdef _WIN32
    (void)source;
    run.log = "avra is not run on Windows";
#else
    const std::filesystem::path log = std::filesystem::path(source).replace_extension(".avra-log");
    const std::string command = "cd '" + source.parent_path().string() + "' && avra -fI '" +
                                source.filename().string() + "' >'" + log.string() + "' 2>&1";
    const bool ended = std::system(command.c_str()) == 0;
    std::ostringstream text;
    text << std::ifstream(log).rdbuf();
    run.log = text.str();
    run.built = ended && std::filesystem::exists(std::filesystem::path(source).replace_extension(".hex"));
#endif
    return run;
}

}  // namespace tc::test
