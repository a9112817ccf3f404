// The fixed-format line read "(A90)": one line into a 90-character field, blank padded.
#include <algorithm>

#include "textio/line_bytes.hpp"
#include "textio/reads.hpp"
#include "textio/units.hpp"

namespace smwave {

void read_line_field(int number, std::span<char> field) {
    statement_start(Statement::fixed_read, number, false, "(A90)");
    Unit& u = unit(number);
    StreamBytes in(u, nullptr);
    // Every byte of the line is kept as it is, blanks, tabs and quotes included; a short line is
    // padded, and the line feed stays for the discard below.
    for (std::size_t i = 0; i < field.size(); ++i) {
        const int c = in.get();
        if (c == '\n') {
            in.unget();
            std::fill(field.begin() + static_cast<std::ptrdiff_t>(i), field.end(), ' ');
            break;
        }
        if (c < 0) {
            dispatch_failure(code_eof, "fmt", false);
            return;
        }
        field[i] = static_cast<char>(c);
    }
    // The rest of the line is ignored. An end of the stream here only sets the end-of-file flag:
    // the field stands, and the next read of the unit fails at its start.
    discard_line(u);
    statement_end(Statement::fixed_read);
}

}  // namespace smwave
