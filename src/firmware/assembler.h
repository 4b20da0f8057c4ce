// The command that assembles the opened source in a terminal window of its own.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tc {

struct AssemblerCommand {
    enum Status { Nothing, NoTerminal, Ready } status = Nothing;
    std::string program;
    std::vector<std::string> arguments;  // each reaches the program as one argument
    std::string nativeArguments;         // Windows: the command line for cmd.exe as it stands
    std::string workingDirectory;        // the folder of the source
};

// The last component of a path; on Windows both slashes separate.
std::string LastPathComponent(const std::string& path, bool windows);
// Everything before it, without the separator; empty for a bare name.
std::string ParentFolder(const std::string& path, bool windows);

// onPath tells whether a program is on the command search path. With a
// verifier (timingcalc-cli's path), a build that succeeded is verified in the
// same window.
AssemblerCommand BuildAssemblerCommand(const std::string& sourcePath, bool windows,
                                       const std::function<bool(const std::string&)>& onPath,
                                       const std::string& verifier = {});

}  // namespace tc
