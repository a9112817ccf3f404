#include "textio/output_record.hpp"
#include "textio/records.hpp"
#include "textio/render.hpp"
#include "textio/units.hpp"

namespace smwave {
namespace {

// Line-length limit of a free-format record, the same for the console and for files.
constexpr std::size_t line_limit = 80;

// Ends the line so far when an item counted as `counted` characters would reach the limit; the
// first item of a line is never preceded by a split.
void split_before(OutputRecord& record, std::size_t counted) {
    if (record.length > 0 && record.length + counted >= line_limit) record.end_line();
}

void put_free_item(std::size_t counted, const char* item, std::size_t n) {
    OutputRecord& record = output_record();
    split_before(record, counted);
    record.append(item, n);
}

}  // namespace

void start_free_record(int unit) {
    statement_start(Statement::free_write, unit, false);
    output_record().begin(unit);
}

// A text counts its own length; only a text that begins a line gets a blank in front.
void put_text(std::string_view text) {
    OutputRecord& record = output_record();
    split_before(record, text.size());
    if (record.length == 0) record.append_blanks(1);
    record.append(text.data(), text.size());
}

// An integer counts only its digits, not its blank and sign.
void put_integer(std::int32_t value) {
    char item[free_item_capacity];
    const std::size_t n = render_free_integer(value, item);
    put_free_item(n - 1 - (value < 0), item, n);
}

// A double counts its whole text.
void put_double(double value) {
    char item[free_item_capacity];
    const std::size_t n = render_free_double(value, item);
    put_free_item(n, item, n);
}

void end_free_record() {
    output_record().end_line();
    statement_end(Statement::free_write);
}

}  // namespace smwave
