// timingcalc-cli's work, apart from its process: one command line run on the
// core, with the files and the two output streams given.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "app/ports.h"

namespace tc::cli {

// The exit status: 0 done, 1 failed or refused, 2 bad usage.
int Run(const std::vector<std::string>& arguments, FileStore& files, std::ostream& out, std::ostream& err);

}  // namespace tc::cli
