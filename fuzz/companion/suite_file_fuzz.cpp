// The shared reader of the suite's files on arbitrary bytes. It either refuses, naming the file and a
// line within the text, or gives a table whose columns each hold one value per row, whose rows lie on
// increasing lines of the text, and whose fields without a number are NaN, counted from the first.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "companion/suite_file.hpp"

namespace {

using smwave::companion::SuiteFileKind;
using smwave::companion::SuiteTable;

// Ends the run with what does not hold, for the artifact's replay.
void check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "FINDING: %s\n", what);
    std::abort();
}

void check_table(const SuiteTable& table, std::uint64_t last_line) {
    check(table.columns.size() == table.names.size(), "a column without a name, or a name without a column");
    check(table.kind == SuiteFileKind::response || table.names.size() == 4,
          "a fixed kind without four columns");
    std::uint64_t gaps = 0;
    std::uint32_t first_gap_line = 0;
    for (std::size_t row = 0; row < table.rows(); ++row) {
        check(table.lines[row] >= 1 && table.lines[row] <= last_line, "a row on a line outside the text");
        check(row == 0 || table.lines[row] > table.lines[row - 1], "rows on lines that do not increase");
        for (const auto& column : table.columns) {
            check(column.size() == table.rows(), "a column of another length than the rows");
            if (std::isnan(column[row])) {
                if (gaps++ == 0) first_gap_line = table.lines[row];
            } else {
                check(std::isfinite(column[row]), "an infinite value");
            }
        }
    }
    check(gaps == table.non_numeric, "fields without a number miscounted");
    check(first_gap_line == table.first_non_numeric_line, "the first field without a number on another line");
    for (const auto& comment : table.comments)
        check(comment.find('\n') == std::string::npos, "a comment holding a line end");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::uint64_t last_line = 1;  // a problem may name the line after the last line end
    for (const char c : text) last_line += c == '\n';
    const auto table = smwave::companion::parse_suite_text(text, "f");
    if (!table) {
        const auto& problem = table.problem();
        check(problem.file == "f" && !problem.at_byte && !problem.what.empty(),
              "a refusal without the file or what is wrong");
        check(problem.line >= 1 && problem.line <= last_line, "a refusal naming a line outside the text");
        return 0;
    }
    check_table(*table, last_line);
    return 0;
}
