// The two texts smwave-batch reads: an answers file (first byte even) and a summary (first byte odd).
//
// Answers either give a waveform file name that is plain (no '/', at most 90 characters, no trailing
// blank, not empty) with the answers after the first line kept whole, or a problem that names the file
// and a line within the text. A summary that reads as CSV reads back to the same rows once written.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "batch/answers.hpp"
#include "batch/summary.hpp"

namespace {

void check(bool holds) {
    if (!holds) std::abort();
}

void answers(std::string_view text) {
    const auto parsed = smwave::batch::parse_answers(text, "answers.txt");
    if (!parsed) {
        const auto& problem = parsed.problem();
        const auto lines = static_cast<std::uint64_t>(std::count(text.begin(), text.end(), '\n'));
        check(problem.file == "answers.txt" && problem.line >= 1 && problem.line <= lines + 2);
        return;
    }
    const std::string& name = parsed->waveform_name;
    check(!name.empty() && name.size() <= 90 && name.find('/') == std::string::npos && name.back() != ' ');
    check(text.ends_with(parsed->after_first_line));
    check(smwave::batch::answers_for_table(*parsed, "table").ends_with(parsed->after_first_line));
}

void summary(std::string_view text) {
    const auto rows = smwave::batch::parse_csv(text, "summary.csv");
    if (!rows) {
        check(rows.problem().line >= 1);
        return;
    }
    std::string written;
    for (const auto& row : *rows) written += smwave::batch::csv_line(row);
    const auto again = smwave::batch::parse_csv(written, "summary.csv");
    check(again && *again == *rows);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 2 == 0)
        answers(text);
    else
        summary(text);
    return 0;
}
