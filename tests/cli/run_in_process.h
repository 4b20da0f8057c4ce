// timingcalc-cli's work run in this process on the real file layer.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/run.h"
#include "os/files.h"

namespace cli {

struct Ran {
    int status;
    std::string out, err;
};

inline Ran RunIn(const std::vector<std::string>& arguments) {
    tc::os::DiskFiles disk;
    std::ostringstream out, err;
    const int status = tc::cli::Run(arguments, disk, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace cli
