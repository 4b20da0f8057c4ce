// timingcalc-cli verify: whether an assembled image holds what the source says.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "firmware/verifier.h"

namespace tc::cli {

// The image beside the source: its name with the extension .hex.
std::string ImageBeside(const std::string& source);

// One line per item and a summary, or one JSON object.
void PrintVerification(std::ostream& out, const std::vector<VerifiedItem>& items, const std::string& source,
                       const std::string& image, bool json);

}  // namespace tc::cli
