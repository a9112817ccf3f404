#pragma once
// The two questions the command line can ask: `smwave --help` and `smwave --version`.
#include <optional>

namespace smwave {

// When the command line is exactly one argument, --help or --version, prints the usage text or the
// name and version on standard output and returns the process's exit status: 0, or 2 (with a report
// on standard error) when standard output does not take the text. Any other command line returns
// nothing and prints nothing: the tool takes no arguments and ignores them.
std::optional<int> answer_command_line(int argc, const char* const* argv);

}  // namespace smwave
