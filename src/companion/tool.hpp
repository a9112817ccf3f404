#pragma once
// The frame of every companion tool: its name and version, option parsing, interruption, and the one
// policy for problems ("tool: FILE:LINE: what is wrong" on standard error, exit status 2).
//
//     int main(int argc, char** argv) {
//         CLI::App app{"Converts agency records into smwave's input table."};
//         std::string output;
//         app.add_option("-o,--output", output, "the table to write");
//         return smwave::companion::run_tool("smwave-table", app, argc, argv, [&] { return convert(output);
//         });
//     }
#include <CLI/CLI.hpp>
#include <functional>
#include <string_view>

#include "companion/messages.hpp"

namespace smwave::companion {

// Adds --version, parses the options (a usage error: the message, a hint to --help and status 2;
// --help and --version: their text on standard output and status 0), makes SIGINT and SIGTERM remove
// every output file not yet committed before the tool ends, then runs `body`: its exit status, or the
// problem that ended its work, reported as "tool: FILE:LINE: what is wrong" with exit status 2.
int run_tool(std::string_view name, CLI::App& app, int argc, char** argv,
             const std::function<Result<int>()>& body);

}  // namespace smwave::companion
