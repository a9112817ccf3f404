#include "companion/tool.hpp"

#include <cstdio>
#include <iostream>
#include <string>

#include "companion/interrupt.hpp"

namespace smwave::companion {

namespace {

// The running tool's name, for its messages: a process runs one tool.
std::string tool_name = "smwave";

}  // namespace

std::string_view version() { return SMWAVE_VERSION; }

void warn(std::string_view message) {
    std::string line = tool_name + ": ";
    line.append(message);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
}

int run_tool(std::string_view name, CLI::App& app, int argc, char** argv,
             const std::function<Result<int>()>& body) {
    tool_name = name;
    app.name(tool_name);
    app.set_version_flag("--version", tool_name + " " + std::string(version()), "Print the version and exit");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) return app.exit(error);
        warn(error.what());
        warn("try '" + tool_name + " --help' for more information");
        return 2;
    }
    remove_uncommitted_outputs_on_interrupt();
    const Result<int> status = body();
    if (status) return *status;
    warn(describe(status.problem()));
    return 2;
}

}  // namespace smwave::companion
