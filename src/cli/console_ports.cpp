#include "cli/console_ports.h"

#include <ostream>

namespace tc::cli {

void StderrMessages::Print(const char* caption, const std::string& text) {
    out_ << caption << ": " << text << '\n' << std::flush;
}

void StderrMessages::Warning(const std::string& text) { Print("Warning", text); }
void StderrMessages::Error(const std::string& text) { Print("Error", text); }
// The window captions this box with its title; on a terminal "Error" says more.
void StderrMessages::AppError(const std::string& text) { Print("Error", text); }

}  // namespace tc::cli
