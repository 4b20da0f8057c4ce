#include "firmware/assembler.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#ifndef _WIN32
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tc {
namespace {

const std::string kScript = "\"$0\" -fI \"$1\"; exec \"${SHELL:-/bin/sh}\"";

AssemblerCommand Build(const std::string& path, std::set<std::string> onPath, bool windows = false) {
    return BuildAssemblerCommand(path, windows, [&](const std::string& program) { return onPath.count(program) != 0; });
}

TEST(AssemblerCommand, PicksTerminalAndAssemblerFromThePath) {
    const struct {
        std::set<std::string> onPath;
        AssemblerCommand::Status status;
        const char* terminal;
        const char* assembler;
    } cases[] = {
        {{"x-terminal-emulator", "xterm", "avrasm2"}, AssemblerCommand::Ready, "x-terminal-emulator", "avrasm2"},
        {{"xterm", "avrasm2", "avra"}, AssemblerCommand::Ready, "xterm", "avrasm2"},
        {{"xterm", "avra"}, AssemblerCommand::Ready, "xterm", "avra"},
        {{"x-terminal-emulator"}, AssemblerCommand::Ready, "x-terminal-emulator", "avrasm2"},
        {{"avrasm2", "avra"}, AssemblerCommand::NoTerminal, "", ""},
    };
    for (const auto& c : cases) {
        const AssemblerCommand command = Build("/home/u/fw/CDI.asm", c.onPath);
        EXPECT_EQ(command.status, c.status) << c.terminal;
        if (c.status != AssemblerCommand::Ready) continue;
        EXPECT_EQ(command.program, c.terminal);
        EXPECT_EQ(command.arguments, (std::vector<std::string>{"-e", "sh", "-c", kScript, c.assembler, "CDI.asm"}));
        EXPECT_EQ(command.workingDirectory, "/home/u/fw");
    }
}

TEST(AssemblerCommand, TheFileNameIsOneArgumentRunInItsFolder) {
    const struct {
        const char* path;
        const char* name;
        const char* folder;
    } cases[] = {
        {"/home/u/my fw; rm -rf ~.asm", "my fw; rm -rf ~.asm", "/home/u"},
        {"/home/u/$(id) `x` 'q\".asm", "$(id) `x` 'q\".asm", "/home/u"},
        {"/tmp/-fI.asm", "./-fI.asm", "/tmp"},
        {"CDI.asm", "CDI.asm", ""},
        {"/CDI.asm", "CDI.asm", "/"},
        {"C:\\fw\\CDI.asm", "C:\\fw\\CDI.asm", ""},  // a backslash is part of a Linux name
    };
    for (const auto& c : cases) {
        const AssemblerCommand command = Build(c.path, {"xterm", "avrasm2"});
        ASSERT_EQ(command.status, AssemblerCommand::Ready) << c.path;
        ASSERT_EQ(command.arguments.size(), 6u);
        EXPECT_EQ(command.arguments[3], kScript) << c.path;
        EXPECT_EQ(command.arguments[5], c.name) << c.path;
        EXPECT_EQ(command.workingDirectory, c.folder) << c.path;
    }
}

#ifndef _WIN32
// Runs the command's shell part with a stand-in assembler that lists its arguments.
std::string ArgumentsSeenBy(const AssemblerCommand& command) {
    const auto dir = std::filesystem::temp_directory_path() / ("tc_asm_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string tool = (dir / "tool").string();
    std::ofstream(tool) << "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > \"$OUT\"\n";
    ::chmod(tool.c_str(), 0755);
    const std::string out = (dir / "out").string();

    std::vector<std::string> args(command.arguments.begin() + 1, command.arguments.end());  // after "-e"
    args[3] = tool;
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::string shell = "SHELL=/bin/true", outVar = "OUT=" + out;
    char* envp[] = {shell.data(), outVar.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, "/bin/sh", &actions, nullptr, argv.data(), envp);
    posix_spawn_file_actions_destroy(&actions);
    std::string seen = "spawn failed";
    if (spawned == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        std::ostringstream text;
        text << std::ifstream(out).rdbuf();
        seen = text.str();
    }
    std::filesystem::remove_all(dir);
    return seen;
}

TEST(AssemblerCommand, ShellCharactersInTheNameAreNotInterpreted) {
    for (const char* name : {"my fw; rm -rf ~.asm", "a $(touch pwned) `touch pwned2` \"q\" 'r'.asm", "-x.asm"}) {
        const AssemblerCommand command = Build(std::string("/fw/") + name, {"xterm", "avrasm2"});
        const std::string expected = name[0] == '-' ? std::string("./") + name : name;
        EXPECT_EQ(ArgumentsSeenBy(command), "[-fI]\n[" + expected + "]\n") << name;
    }
}

// With timingcalc-cli beside the program, a build that succeeded is verified in the same window.
TEST(AssemblerCommand, AVerifierRunsOnlyAfterABuildThatSucceeded) {
    const struct {
        const char* name;
        int assemblerStatus;
        const char* verifierSaw;  // empty: not started
    } cases[] = {{"built", 0, "[verify]\n[my fw.asm]\n"}, {"failed", 1, ""}};
    for (const auto& c : cases) {
        const auto dir = std::filesystem::temp_directory_path() / ("tc_verify_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        const std::string tool = (dir / "asm").string(), verifier = (dir / "cli tool").string();
        std::ofstream(tool) << "#!/bin/sh\nexit " << c.assemblerStatus << "\n";
        std::ofstream(verifier) << "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > seen\n";
        ::chmod(tool.c_str(), 0755);
        ::chmod(verifier.c_str(), 0755);
        const AssemblerCommand command = BuildAssemblerCommand(
            "/fw/my fw.asm", false, [](const std::string& p) { return p == "xterm" || p == "avrasm2"; }, verifier);
        std::vector<std::string> args(command.arguments.begin() + 1, command.arguments.end());
        args[3] = tool;
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::string shell = "SHELL=/bin/true";
        char* envp[] = {shell.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, "/bin/sh", &actions, nullptr, argv.data(), envp), 0);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        ::waitpid(pid, &status, 0);
        std::ostringstream seen;
        seen << std::ifstream(dir / "seen").rdbuf();
        EXPECT_EQ(seen.str(), c.verifierSaw) << c.name;
        std::filesystem::remove_all(dir);
    }
}
#endif

TEST(AssemblerCommand, WindowsStartsCmdWithTheQuotedName) {
    const struct {
        const char* path;
        const char* arguments;
        const char* folder;
    } cases[] = {
        {"C:\\fw\\CDI.asm", "/k avrasm2 -fI \"CDI.asm\"", "C:\\fw"},
        {"C:/fw/my fw.asm", "/k avrasm2 -fI \"my fw.asm\"", "C:/fw"},
        {"CDI.asm", "/k avrasm2 -fI \"CDI.asm\"", ""},
    };
    for (const auto& c : cases) {
        const AssemblerCommand command = Build(c.path, {}, true);
        EXPECT_EQ(command.status, AssemblerCommand::Ready);
        EXPECT_EQ(command.program, "cmd.exe");
        EXPECT_EQ(command.nativeArguments, c.arguments);
        EXPECT_EQ(command.workingDirectory, c.folder);
    }
    const AssemblerCommand verified = BuildAssemblerCommand(
        "C:\\fw\\CDI.asm", true, [](const std::string&) { return false; },
        "C:\\Program Files\\timingcalc\\timingcalc-cli.exe");
    EXPECT_EQ(verified.nativeArguments,
              "/k avrasm2 -fI \"CDI.asm\" && \"C:\\Program Files\\timingcalc\\timingcalc-cli.exe\" verify \"CDI.asm\"");
}

TEST(AssemblerCommand, NothingWithoutASource) {
    int asked = 0;
    const AssemblerCommand command =
        BuildAssemblerCommand("", false, [&](const std::string&) { return ++asked, true; });
    EXPECT_EQ(command.status, AssemblerCommand::Nothing);
    EXPECT_EQ(Build("", {}, true).status, AssemblerCommand::Nothing);
    EXPECT_EQ(asked, 0);
}

TEST(LastPathComponent, ByThePlatformsSeparators) {
    const struct {
        const char* path;
        bool windows;
        const char* name;
        const char* folder;
    } cases[] = {
        {"/a/b/CDI.asm", false, "CDI.asm", "/a/b"},
        {"a\\b\\CDI.asm", false, "a\\b\\CDI.asm", ""},
        {"a\\b\\CDI.asm", true, "CDI.asm", "a\\b"},
        {"a\\b/CDI.asm", true, "CDI.asm", "a\\b"},
        {"dir/", false, "", "dir"},
        {"CDI.asm", true, "CDI.asm", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LastPathComponent(c.path, c.windows), c.name) << c.path;
        EXPECT_EQ(ParentFolder(c.path, c.windows), c.folder) << c.path;
    }
}

}  // namespace
}  // namespace tc
