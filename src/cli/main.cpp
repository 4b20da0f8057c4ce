// timingcalc-cli: the firmware source's tables from a command line.
#include <iostream>

#include "cli/run.h"
#include "os/files.h"

int main(int argc, char* argv[]) {
    tc::os::PrepareConsole();
    tc::os::DiskFiles files;
    return tc::cli::Run(tc::os::CommandLine(argc, argv), files, std::cout, std::cerr);
}
