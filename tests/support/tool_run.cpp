#include "support/tool_run.hpp"

#include <charconv>
#include <fstream>
#include <sstream>

namespace smwave::testing {

namespace fs = std::filesystem;

std::string read_file(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_file(const fs::path& file, std::string_view content) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

ToolResult run_tool(const fs::path& dir, std::string_view answers, RunOptions options,
                    std::vector<std::string> arguments) {
    return launch(dir, {.program = SMWAVE_EXE,
                        .arguments = std::move(arguments),
                        .input = std::string(answers),
                        .unprivileged = options.unprivileged,
                        .name = "smwave"});
}

std::string make_table(int rows, double dt, const std::function<double(int, int)>& value) {
    std::string table = "STN EW NS UD\nunits: gal\n";
    char number[64];
    for (int row = 1; row <= rows; ++row) {
        auto end =
            std::to_chars(number, number + sizeof number, (row - 1) * dt, std::chars_format::fixed, 6).ptr;
        table.append(number, end);
        for (int column = 1; column <= 42; ++column) {
            table += ' ';
            end = std::to_chars(number, number + sizeof number, value(row, column)).ptr;
            table.append(number, end);
        }
        table += '\n';
    }
    return table;
}

}  // namespace smwave::testing
