#include "firmware/assembler.h"

namespace tc {

namespace {
std::size_t LastSeparator(const std::string& path, bool windows) {
    return windows ? path.find_last_of("\\/") : path.rfind('/');
}
}  // namespace

std::string LastPathComponent(const std::string& path, bool windows) {
    const std::size_t at = LastSeparator(path, windows);
    return at == std::string::npos ? path : path.substr(at + 1);
}

std::string ParentFolder(const std::string& path, bool windows) {
    const std::size_t at = LastSeparator(path, windows);
    if (at == std::string::npos) return {};
    if (at == 0) return path.substr(0, 1);  // the root
    return path.substr(0, at);
}

AssemblerCommand BuildAssemblerCommand(const std::string& sourcePath, bool windows,
                                       const std::function<bool(const std::string&)>& onPath,
                                       const std::string& verifier) {
    AssemblerCommand command;
    if (sourcePath.empty()) return command;
    std::string name = LastPathComponent(sourcePath, windows);
    command.workingDirectory = ParentFolder(sourcePath, windows);

    if (windows) {
        command.status = AssemblerCommand::Ready;
        command.program = "cmd.exe";
        command.nativeArguments = "/k avrasm2 -fI \"" + name + "\"";
        if (!verifier.empty()) command.nativeArguments += " && \"" + verifier + "\" verify \"" + name + "\"";
        return command;
    }

    std::string terminal;
    for (const char* candidate : {"x-terminal-emulator", "xterm"})
        if (onPath(candidate)) {
            terminal = candidate;
            break;
        }
    if (terminal.empty()) {
        command.status = AssemblerCommand::NoTerminal;
        return command;
    }
    // avra takes the same -fI option and writes the same Intel HEX file.
    const std::string assembler = !onPath("avrasm2") && onPath("avra") ? "avra" : "avrasm2";
    // A name that starts with "-" would read as an option.
    if (!name.empty() && name[0] == '-') name = "./" + name;
    command.status = AssemblerCommand::Ready;
    command.program = terminal;
    // The name travels as a positional parameter: no word splitting, nothing run
    // from it. The shell stays open afterwards, so the report stays on screen.
    command.arguments = {"-e", "sh", "-c", "\"$0\" -fI \"$1\"; exec \"${SHELL:-/bin/sh}\"", assembler, name};
    if (!verifier.empty()) {
        command.arguments[3] = "\"$0\" -fI \"$1\" && \"$2\" verify \"$1\"; exec \"${SHELL:-/bin/sh}\"";
        command.arguments.push_back(verifier);
    }
    return command;
}

}  // namespace tc
