#pragma once
// Starting one program of a record as a separate process, in the record's folder.
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "companion/problem.hpp"

namespace smwave::jobs {

struct Launch {
    std::filesystem::path program;  // absolute, since the process starts in `folder`
    std::vector<std::string> arguments;
    std::filesystem::path folder;
    std::filesystem::path input;   // its standard input; empty: /dev/null
    std::filesystem::path output;  // its standard output, emptied first; empty: /dev/null
    std::filesystem::path errors;  // its standard error
    bool append_errors = false;    // add to `errors` instead of emptying it first
};

// Starts the process with the signal mask `child_mask` (a spawn: no copy of the caller's memory); gives
// its id, or a Problem when a file cannot be opened or the program cannot be run.
companion::Result<pid_t> start_process(const Launch& launch, const sigset_t& child_mask);

}  // namespace smwave::jobs
