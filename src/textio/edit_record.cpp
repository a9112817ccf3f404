#include "textio/format_text.hpp"
#include "textio/output_record.hpp"
#include "textio/records.hpp"
#include "textio/render.hpp"
#include "textio/units.hpp"

namespace smwave {
namespace {

// Performs the skips, literals and record ends up to the next field or the end of the format text,
// and returns what it stopped at.
FormatStep perform_until_field(OutputRecord& record) {
    for (;;) {
        const FormatStep step = record.format.next();
        switch (step.action) {
            case Action::skip:
                record.pending_blanks += step.count;
                break;
            case Action::literal:
                record.write_pending_blanks();
                record.append(step.text.data(), step.text.size());
                break;
            case Action::record_end:
                record.end_line();
                break;
            case Action::field:
            case Action::end:
                return step;
        }
    }
}

}  // namespace

void start_edit_record(int unit, std::string_view format) {
    statement_start(Statement::edit_write, unit, false, format);
    OutputRecord& record = output_record();
    record.begin(unit);
    if (!record.format.parse(format)) fatal_io(err_format, "startio");
}

void put_edit_double(double value) {
    OutputRecord& record = output_record();
    const FormatStep field = perform_until_field(record);
    // An item beyond the last field of the format text has no place to go.
    if (field.action == Action::end) fatal_io(err_format, "fmt");
    record.write_pending_blanks();
    char* out = record.room(field.width);
    record.length += field.descriptor == 'F' ? render_fixed_field(value, field.width, field.digits, out)
                                             : render_exponent_field(value, field.width, field.digits, out);
}

void end_edit_record() {
    OutputRecord& record = output_record();
    perform_until_field(record);
    record.end_line();
    statement_end(Statement::edit_write);
}

}  // namespace smwave
