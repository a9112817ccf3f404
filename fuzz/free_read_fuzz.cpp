// Fuzz target: the free-format read over arbitrary bytes.
//
// The first byte picks what is read. Table (with or without its header): four texts, the skipped
// line, then rows of 43 doubles with the end branch until the end of the file, as the table reader
// does on unit 11. Console: a sequence of answer reads on standard input (an integer, a double,
// four doubles, a read with no items, a file-name line, four texts), each without an end branch, until
// the input runs out; the second and third bytes give the sequence. Checked: no sanitizer finding,
// every read sequence ends, a failure ends the run only through the fatal report (well formed,
// naming the unit read), the rows never report an end of file, and a text never stores a zero byte.
#include <algorithm>
#include <cstdint>
#include <span>

#include "fuzz_support.hpp"
#include "textio/reads.hpp"
#include "textio/units.hpp"

namespace smwave::fuzz {
namespace {

constexpr int table_unit = 11;
constexpr int row_values = 43;
constexpr int answer_kinds = 6;

enum class Phase { header, rows, answers };

// Texts start filled with a byte that no rule stores, so an untouched field is told apart.
void check_text(const TextField& field) {
    if (std::find(std::begin(field), std::end(field), '\0') != std::end(field)) {
        finding("a text item stored a zero byte");
    }
}

void read_header() {
    TextField heads[4];
    for (TextField& head : heads) std::fill(std::begin(head), std::end(head), '\x7f');
    begin_free_read(table_unit, false);
    for (TextField& head : heads) read_text(head);
    end_free_read();
    for (const TextField& head : heads) check_text(head);
    begin_free_read(table_unit, false);
    end_free_read();
}

// Rows until the end branch is taken; every complete row consumes at least one line end.
void read_rows(std::size_t size) {
    double row[row_values] = {};
    for (std::size_t rows = 0;; ++rows) {
        if (rows > size + 1) finding("the row reads do not come to the end of the file");
        if (begin_free_read(table_unit, true) < 0) return;
        for (double& value : row) {
            if (read_double(value) < 0) return;
        }
        if (end_free_read() < 0) return;
    }
}

void read_answer(int kind) {
    std::int32_t integer = 0;
    double values[4] = {};
    TextField field;
    std::fill(std::begin(field), std::end(field), '\x7f');
    if (kind == 4) {
        read_line_field(unit_stdin, field);
        return;
    }
    begin_free_read(unit_stdin, false);
    switch (kind) {
        case 0:
            read_integer(integer);
            break;
        case 1:
            read_double(values[0]);
            break;
        case 2:
            for (double& value : values) read_double(value);
            break;
        case 3:
            break;
        case 5:
            for (int k = 0; k < 4; ++k) {
                read_text(field);
                check_text(field);
            }
            break;
    }
    end_free_read();
}

// Answers until the input runs out, which no read without an end branch survives.
void read_answers(std::uint16_t plan, std::size_t size) {
    for (std::size_t reads = 0; reads <= size + 2; ++reads)
        read_answer(((plan >> (3 * (reads % 5))) & 7) % answer_kinds);
    finding("the answer reads outlive the input");
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
    if (size < 3) return -1;
    static MemoryFile input;
    static ErrorCapture errors;
    const int mode = data[0] % 3;
    const std::uint16_t plan = static_cast<std::uint16_t>(data[1] | (data[2] << 8));
    const std::span<const std::uint8_t> bytes(data + 3, size - 3);
    input.fill(bytes);
    begin_input();

    Phase phase = mode == 2 ? Phase::answers : Phase::header;
    errors.start();
    try {
        if (mode == 2) {
            input.attach_to_stdin();
            read_answers(plan, bytes.size());
        } else {
            open_unit(table_unit, input.path());
            if (mode == 0) read_header();
            phase = Phase::rows;
            read_rows(bytes.size());
            close_unit(table_unit);
        }
    } catch (const RunEnded& ended) {
        const std::string_view report = errors.stop();
        if (ended.status != -1) finding("a read ended the run other than by the failure report", report);
        const std::string_view first = check_fatal_report(report);
        const std::string_view expected_unit =
            phase == Phase::answers ? "apparent state: unit 5 (unnamed)\n" : "apparent state: unit 11 named ";
        if (report.find(expected_unit) == std::string_view::npos)
            finding("the report names another unit", report);
        if (phase == Phase::rows && first.ends_with(": end of file")) {
            finding("an end of file in the rows was reported instead of taking the end branch", report);
        }
        return 0;
    }
    const std::string_view report = errors.stop();
    if (phase == Phase::answers) finding("the answers ended without a failure");
    if (!report.empty()) finding("a read that succeeded wrote on standard error", report);
    return 0;
}
