// Fuzz target: the fixed-format line read "(A90)" over arbitrary bytes.
//
// The first byte picks the unit (standard input, or the input opened as a file on unit 11); the
// rest is read line by line into 90-character fields until the input runs out. Every field is
// compared with a plain model of the read: the bytes of its line (a carriage return before a line
// feed dropped) cut to 90 or padded with blanks; and the failure at the end is the one the model
// expects: "fmt: end of file" when a line ends without its line feed before 90 bytes or no line is
// left, "read start: end of file" after a last line of 90 bytes or more without its line feed.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.hpp"
#include "textio/reads.hpp"
#include "textio/units.hpp"

namespace smwave::fuzz {
namespace {

constexpr int file_unit = 11;

struct ModelLine {
    std::string text;  // the line without its line end
    bool ended;        // a line feed follows it
};

std::vector<ModelLine> model_lines(std::span<const std::uint8_t> bytes) {
    std::string text(bytes.begin(), bytes.end());
    std::string joined;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        joined.push_back(text[i]);
    }
    std::vector<ModelLine> lines;
    std::size_t at = 0;
    while (at < joined.size()) {
        const std::size_t end = joined.find('\n', at);
        if (end == std::string::npos) {
            lines.push_back({joined.substr(at), false});
            break;
        }
        lines.push_back({joined.substr(at, end - at), true});
        at = end + 1;
    }
    return lines;
}

std::string expected_field(const std::string& line) {
    std::string field = line.substr(0, text_field_length);
    field.resize(text_field_length, ' ');
    return field;
}

// The first line of the report that ends the reads, once the fields of `lines` are taken.
std::string expected_failure(const std::vector<ModelLine>& lines) {
    if (!lines.empty() && !lines.back().ended && lines.back().text.size() < text_field_length) {
        return "fmt: end of file";
    }
    if (!lines.empty() && !lines.back().ended) return "read start: end of file";
    return "fmt: end of file";
}

}  // namespace
}  // namespace smwave::fuzz

using namespace smwave;
using namespace smwave::fuzz;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    prepare_process();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return -1;
    static MemoryFile input;
    static ErrorCapture errors;
    const bool console = data[0] % 2 == 0;
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);
    input.fill(bytes);
    if (console) input.attach_to_stdin();
    begin_input();

    const std::vector<ModelLine> lines = model_lines(bytes);
    // The last line without a line feed and shorter than a field is never stored.
    std::size_t complete = lines.size();
    if (!lines.empty() && !lines.back().ended && lines.back().text.size() < text_field_length) --complete;

    std::size_t taken = 0;
    errors.start();
    try {
        const int unit = console ? unit_stdin : file_unit;
        if (!console) open_unit(file_unit, input.path());
        for (;; ++taken) {
            if (taken > lines.size()) finding("the line reads outlive the input");
            TextField field;
            read_line_field(unit, field);
            if (taken >= complete) finding("a line read succeeded past the lines of the input");
            if (std::string_view(field, text_field_length) != expected_field(lines[taken].text)) {
                errors.stop();
                finding("a field differs from its line", std::string_view(field, text_field_length));
            }
        }
    } catch (const RunEnded& ended) {
        const std::string_view report = errors.stop();
        if (ended.status != -1) finding("a line read ended the run other than by the failure report", report);
        const std::string_view first = check_fatal_report(report);
        if (taken != complete) finding("the reads failed before the last line", report);
        if (first != expected_failure(lines)) finding("the reads ended with another failure", report);
        if (report.find(console ? "apparent state: unit 5 (unnamed)\n" : "apparent state: unit 11 named ") ==
            std::string_view::npos) {
            finding("the report names another unit", report);
        }
        const bool format_named = report.find("\nlast format: (A90)\n") != std::string_view::npos;
        if (!format_named) finding("the report of a line read does not name its format", report);
    }
    return 0;
}
