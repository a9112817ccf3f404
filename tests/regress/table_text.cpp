#include "regress/table_text.hpp"

#include <charconv>
#include <cmath>

#include "regress/answer_text.hpp"

namespace smwave::regress {

namespace {

// The number of rows: mostly small, some around powers of two and the limits, some large.
long row_count(RandomSource& random) {
    const int kind = static_cast<int>(random.between(0, 99));
    if (kind < 55) return random.between(2, 600);
    if (kind < 72) return random.between(600, 20000);
    if (kind < 84) return (1L << random.between(2, 17)) + random.between(-1, 1);
    if (kind < 90) return random.pick<long>({131071, 131072, 131073, 132000});
    return random.between(20000, 132000);
}

const char* header(RandomSource& random) {
    return random.pick<const char*>({"STN EW NS UD\n", "STN EW NS UD\n", "A B\nC D\n", "'N-S comp' EW NS UD\n",
                                     "A,B,C,D\n", "2019/05/20 12:00 x y\n", "A B C D E F\n", "\n  STN EW NS UD\n",
                                     "STN\tEW\tNS\tUD\r\n"});
}

const char* ignored_line(RandomSource& random) {
    return random.pick<const char*>({"units: gal\n", "\n", "ignored 1 2 3 abc\n", "x,y,z/\n", "0.0 1 2\r\n"});
}

// A refused or unusual value in place of a component value, now and then.
const char* odd_value(RandomSource& random) {
    return random.pick<const char*>({"abc", "NaN", "1e400", "---", "'5'", "-1e400", "1d3", "+.5", "7."});
}

class RowWriter {
  public:
    // `odd_row` is the row (from 1) that holds one odd value, or 0 for none.
    RowWriter(RandomSource& random, std::string& text, long odd_row)
        : random_(random), text_(text), odd_row_(odd_row) {}

    void row(long row_number, double time, const double components[3], bool shaped) {
        int on_line = 0;
        // A short row takes the first value of the next line as its last, and drops the rest of it.
        const int last = shaped && random_.percent(1) ? 41 : 42;
        for (int column = 0; column <= last; ++column) {
            if (column > 0) separate(shaped, on_line);
            value(column, row_number, time, components, shaped);
            ++on_line;
        }
        if (shaped && random_.percent(3)) text_ += random_.pick<const char*>({" 1 2 3", " extra", ", 4", " /"});
        text_ += shaped && random_.percent(2) ? "\r\n" : "\n";
        if (shaped && random_.percent(1)) text_ += random_.pick<const char*>({"\n", "  \n"});
    }

  private:
    void separate(bool shaped, int& on_line) {
        if (shaped && random_.percent(1)) {
            text_ += '\n';
            on_line = 0;
            return;
        }
        text_ += shaped && random_.percent(4) ? random_.pick<const char*>({",", ", ", "  ", "\t"}) : " ";
    }
    void value(int column, long row_number, double time, const double components[3], bool shaped) {
        char number[48];
        if (column == 0) {
            text_.append(number, std::to_chars(number, number + sizeof number, time, std::chars_format::fixed, 4).ptr);
            return;
        }
        const int component = column == 38 ? 0 : column == 40 ? 1 : column == 17 ? 2 : -1;
        if (row_number == odd_row_ && column == odd_column_) {
            text_ += odd_value(random_);
            return;
        }
        if (shaped && random_.percent(1)) {  // an empty field between two commas
            text_ += ", ,";
            return;
        }
        if (component < 0) {
            text_ += (row_number + column) % 11 == 0 ? "1" : "0";
            return;
        }
        if (shaped) {
            text_ += double_text(random_, components[component]);
        } else {
            text_.append(number, std::to_chars(number, number + sizeof number, components[component],
                                               std::chars_format::general, 7)
                                     .ptr);
        }
    }

    RandomSource& random_;
    std::string& text_;
    long odd_row_;
    int odd_column_ = static_cast<int>(random_.pick<long>({38, 40, 17, 5}));
};

}  // namespace

TableText table_text(RandomSource& random) {
    TableText table;
    const long rows = row_count(random);
    const double dt = random.pick<double>({0.01, 0.005, 0.02, 0.1, 0.5, 0.0125});
    const double start = random.percent(80) ? 0.0 : random.pick<double>({-1.0, 0.3, 12.5});
    // Rows shaped in unusual ways: rare, and only in smaller tables so that most tables read whole.
    const bool shaped = rows <= 20000 && random.percent(35);
    const bool equal_first_times = random.percent(2);
    table.text = header(random);
    table.text += ignored_line(random);
    table.text.reserve(static_cast<std::size_t>(rows) * 100);
    const double f1 = 0.2 + 5 * random.unit(), f2 = 0.5 + 10 * random.unit(), amplitude = random.pick<double>({1.0, 250.0, 1e-3, 3e5});
    const long odd_row = random.percent(12) ? random.between(1, rows) : 0;
    RowWriter writer(random, table.text, odd_row);
    for (long i = 0; i < rows; ++i) {
        const double t = start + static_cast<double>(equal_first_times && i == 1 ? 0 : i) * dt;
        const double tt = static_cast<double>(i) * dt;
        const double envelope = tt * std::exp(-tt / (1 + 0.05 * static_cast<double>(rows) * dt));
        const double components[3] = {amplitude * envelope * std::sin(6.283 * f1 * tt) + 0.5,
                                      amplitude * envelope * std::cos(6.283 * f2 * tt) - 0.25,
                                      amplitude * 0.1 * std::sin(6.283 * (f1 + f2) * tt)};
        writer.row(i + 1, t, components, shaped);
    }
    const int ending = static_cast<int>(random.between(0, 19));
    if (ending == 0 && !table.text.empty()) table.text.pop_back();                      // no final line feed
    if (ending == 1) table.text += "0.5 1 2 3";                                        // a row cut short
    if (ending == 2) table.text += "\n\n   \n";                                        // trailing empty lines
    if (ending == 3 && !table.text.empty()) table.text.back() = ',';                  // a comma before the end
    table.summary = std::to_string(rows) + " rows at " + std::to_string(dt) + " s" + (shaped ? ", shaped rows" : "") +
                    (equal_first_times ? ", equal first times" : "") +
                    (odd_row > 0 ? ", an odd value in row " + std::to_string(odd_row) : "");
    return table;
}

}  // namespace smwave::regress
