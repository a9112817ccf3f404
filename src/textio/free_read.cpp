// The free-format read: items separated by blanks, commas, slashes and line ends, with null items,
// repeat counts "r*" and a slash that leaves the remaining items unchanged.
//
// Number items are scanned straight from the stream's buffer; a scan that runs off the buffered
// bytes is thrown away and done again byte by byte from the stream, which gives the same result.
#include <algorithm>
#include <cstring>
#include <new>

#include "textio/io_context.hpp"
#include "textio/line_bytes.hpp"
#include "textio/number_item.hpp"
#include "textio/number_scan.hpp"
#include "textio/reads.hpp"
#include "textio/units.hpp"

namespace smwave {

namespace {

constexpr const char* list_in = "list in";
// First size of the buffer of a text item.
constexpr std::size_t text_scratch = 128;

bool is_blank(int c) { return c == ' ' || c == '\t'; }
bool ends_unquoted_text(int c) { return is_blank(c) || c == '\n' || c == ',' || c == '/'; }

// The end of the stream where an item should begin; a read failure there is reported as itself.
int end_at_item(const Unit& u) {
    if (u.stream.failed()) return dispatch_failure(u.stream.error(), list_in, io().read.end_branch);
    return dispatch_failure(code_eof, list_in, io().read.end_branch);
}

// The checks after an item's value: a read failure met while scanning ends the run.
int check_stream(const Unit& u) {
    if (u.stream.failed()) return dispatch_failure(u.stream.error(), list_in, io().read.end_branch);
    return 0;
}

// Settles an item that met the end of the stream, a slash or a comma where its value should begin,
// giving its result in `result`; false when a value follows.
bool settle_without_value(const Unit& u, ItemStart start, int& result) {
    switch (start) {
        case ItemStart::end_of_stream:
            result = end_at_item(u);
            return true;
        case ItemStart::slash:
            io().read.quit = true;
            result = 0;
            return true;
        case ItemStart::comma:
            io().read.repeat = 1;
            result = check_stream(u);
            return true;
        case ItemStart::value:
            break;
    }
    return false;
}

// Acts on what a number item's scan found: on 0, `io().read.current` holds what the item receives.
int settle_number(const Unit& u, const NumberItem& item) {
    FreeRead& r = io().read;
    if (int result = 0; settle_without_value(u, item.start, result)) return result;
    const ScanOutcome outcome = item.scan.outcome;
    if (outcome != ScanOutcome::value && outcome != ScanOutcome::null) {
        const ScanFailure failure = scan_failure(outcome);
        return dispatch_failure(failure.code, failure.context, r.end_branch);
    }
    r.repeat = item.scan.repeat;
    if (outcome == ScanOutcome::value) {
        r.current = FreeRead::Value::number;
        r.number = item.scan.value;
    }
    return check_stream(u);
}

// Whether the two bytes at p are blanks.
bool two_blanks(const unsigned char* p) {
    std::uint16_t pair;
    std::memcpy(&pair, p, sizeof pair);
    return pair == 0x2020;
}

// A plain decimal number of a double item, [sign] digits [. digits] whose digits make a mantissa
// below exact_mantissa_limit, followed by a blank, tab, line end, comma or slash: by far the most
// common item of a table. When it lies wholly in the buffered bytes it is taken from there with its separator
// and converted in one exact operation; it gives the same value and leaves the stream where the general scan
// would. Gives the position after the number and its separator, or null for anything else.
const unsigned char* plain_number(const unsigned char* p, const unsigned char* const end, double& value) {
    using scan_detail::is_digit;
    // The zero byte after the buffered bytes stops every loop below: none needs a bounds check.
    while (*p == ' ' || *p == '\t' || *p == '\n') ++p;
    const bool negative = *p == '-';
    if (negative || *p == '+') ++p;

    // Every digit goes into the mantissa, leading zeros too (they add nothing); at most 19 digits
    // cannot overflow it, and below 2^53 it is an exact double.
    const unsigned char* const whole = p;
    std::uint64_t mantissa = 0;
    for (; is_digit(*p); ++p) mantissa = mantissa * 10 + (*p - '0');
    std::ptrdiff_t digits = p - whole;
    int exponent = 0;
    if (*p == '.') {
        const unsigned char* const fraction = ++p;
        for (; is_digit(*p); ++p) mantissa = mantissa * 10 + (*p - '0');
        digits += p - fraction;
        exponent = static_cast<int>(fraction - p);
    }
    if (digits == 0 || digits > max_mantissa_digits || mantissa >= exact_mantissa_limit ||
        exponent < -exact_power || p >= end) {
        return nullptr;
    }

    const unsigned char stop = *p;
    if (stop != ' ' && stop != '\t' && stop != '\n' && stop != '\r' && stop != ',' && stop != '/')
        return nullptr;
    // The blanks that pad the next column, two at a time (the buffer has a byte to spare after its
    // zero byte for this), then any odd one and tabs.
    while (two_blanks(p)) p += 2;
    while (*p == ' ' || *p == '\t') ++p;
    if (p >= end) return nullptr;
    if (*p == ',') ++p;
    const double magnitude = exact_decimal(mantissa, exponent);
    value = negative && mantissa != 0 ? -magnitude : magnitude;
    return p;
}

// Takes plain numbers into values[0], values[1], ... from the buffered bytes of `s` for as long as
// they come, and gives how many it took.
std::size_t take_plain_numbers(Stream& s, std::span<double> values) {
    const std::span<const unsigned char> block = s.buffered();
    if (block.empty()) return 0;
    const unsigned char* p = block.data();
    const unsigned char* const end = p + block.size();
    std::size_t taken = 0;
    for (; taken < values.size(); ++taken) {
        const unsigned char* const next = plain_number(p, end, values[taken]);
        if (next == nullptr) break;
        p = next;
    }
    s.advance(static_cast<std::size_t>(p - block.data()));
    return taken;
}

// One number item up to the store, scanned from the buffered bytes, or from the stream when it runs
// past them. Everything is inlined here so that the scan's cursor can live in registers.
[[gnu::flatten]] int take_number(NumberKind kind) {
    FreeRead& r = io().read;
    Unit& u = *r.source;
    if (r.repeat > 0) {
        StreamBytes in(u, &r.end_seen);
        skip_separator(in, r.repeat);
        return check_stream(u);
    }
    r.current = FreeRead::Value::none;
    SpanBytes fast(u.stream.buffered());
    const NumberItem item = scan_number_item(fast, kind);
    if (!fast.edge()) {
        u.stream.advance(fast.consumed());
        return settle_number(u, item);
    }
    StreamBytes slow(u, &r.end_seen);
    return settle_number(u, scan_number_item(slow, kind));
}

// Steps of a number item around the scan; `store` receives the value when there is one.
template <class Store>
int read_number(NumberKind kind, Store store) {
    FreeRead& r = io().read;
    if (r.quit) return 0;
    if (r.end_seen) return dispatch_failure(code_eof, list_in, r.end_branch);
    if (const int result = take_number(kind); result != 0) return result;
    if (r.current == FreeRead::Value::number) store(r.number);
    if (r.repeat > 0) --r.repeat;
    return 0;
}

enum class TextScan { text, null, end_in_quotes };

// A quoted text after its opening quote `quote`, up to the closing one.
TextScan scan_quoted(StreamBytes& in, int quote, std::string& text) {
    for (;;) {
        const int c = in.get();
        if (c < 0) return TextScan::end_in_quotes;
        if (c == quote) {
            if (in.get() != quote) {
                in.unget();
                return TextScan::text;
            }
            text.push_back(static_cast<char>(quote));
        } else if (c == '\n') {
            // A line end continues the text; after a backslash it stands in the text as a line feed.
            if (!text.empty() && text.back() == '\\') text.back() = '\n';
        } else {
            text.push_back(static_cast<char>(c));
        }
    }
}

// An unquoted text: the bytes up to a blank, line end, comma or slash, or the end of the stream.
TextScan scan_unquoted(StreamBytes& in, std::string& text) {
    for (;;) {
        const int c = in.get();
        if (c < 0) return TextScan::text;
        if (ends_unquoted_text(c)) {
            in.unget();
            return TextScan::text;
        }
        text.push_back(static_cast<char>(c));
    }
}

// A text item into `text`; digits before a "*" set the pending repeat count in `repeat`.
TextScan scan_text(StreamBytes& in, std::string& text, std::int32_t& repeat) {
    int c = in.get();
    if (scan_detail::is_digit(c)) {
        for (; scan_detail::is_digit(c); c = in.get()) text.push_back(static_cast<char>(c));
        const std::size_t first_nonzero = text.find_first_not_of('0');
        if (c == '*' && first_nonzero == std::string::npos) {
            text.push_back('*');
            return scan_unquoted(in, text);
        }
        if (c != '*') {
            if (c < 0) return TextScan::text;
            if (ends_unquoted_text(c)) {
                in.unget();
                return TextScan::text;
            }
            text.push_back(static_cast<char>(c));
            return scan_unquoted(in, text);
        }
        repeat = repeat_count(std::string_view(text).substr(first_nonzero));
        text.clear();
        c = in.get();
    }
    if (c == '\'' || c == '"') return scan_quoted(in, c, text);
    if (c < 0 || is_blank(c) || c == ',' || c == '/') {
        in.unget();
        return TextScan::null;
    }
    text.push_back(static_cast<char>(c));
    return scan_unquoted(in, text);
}

// One text item up to the store: on 0, `io().read.current` holds what the item receives; -1 for
// the end of the stream inside a quoted text.
int take_text() {
    FreeRead& r = io().read;
    Unit& u = *r.source;
    StreamBytes in(u, &r.end_seen);
    if (r.repeat > 0) {
        skip_separator(in, r.repeat);
        return check_stream(u);
    }
    r.current = FreeRead::Value::none;
    if (int result = 0; settle_without_value(u, skip_to_item(in), result)) return result;
    r.text.clear();
    try {
        r.text.reserve(text_scratch);
    } catch (const std::bad_alloc&) {
        return dispatch_failure(err_no_space, "no space", r.end_branch);
    }
    TextScan scan = TextScan::null;
    try {
        scan = scan_text(in, r.text, r.repeat);
    } catch (const std::bad_alloc&) {
        return dispatch_failure(err_no_space, "realloc failure", r.end_branch);
    }
    if (scan == TextScan::end_in_quotes) {
        if (const int result = check_stream(u); result != 0) return result;
        // Not reported: only a read with an end branch hears of it, as its end of file.
        return r.end_branch ? dispatch_failure(code_eof, list_in, true) : -1;
    }
    if (scan == TextScan::text) r.current = FreeRead::Value::text;
    skip_separator(in, r.repeat);
    return check_stream(u);
}

}  // namespace

int begin_free_read(int number, bool end_branch) {
    FreeRead& r = io().read;
    r.source = &unit(number);
    r.end_branch = end_branch;
    r.quit = false;
    r.end_seen = false;
    r.repeat = 0;
    r.current = FreeRead::Value::none;
    return statement_start(Statement::free_read, number, end_branch);
}

int read_integer(std::int32_t& value) {
    return read_number(NumberKind::integer, [&value](double number) { value = cut_to_int32(number); });
}

namespace {

[[gnu::noinline]] int read_any_double(double& value) {
    return read_number(NumberKind::real, [&value](double number) { value = number; });
}

}  // namespace

int read_double(double& value) { return read_doubles({&value, 1}); }

int read_doubles(std::span<double> values) {
    FreeRead& r = io().read;
    for (std::size_t i = 0; i < values.size(); ++i) {
        // The common case first, without the general item's machinery: plain numbers that start new
        // items (no slash met, no end seen, no repetition pending) and lie in the buffered bytes.
        if (!r.quit && !r.end_seen && r.repeat == 0) {
            i += take_plain_numbers(r.source->stream, values.subspan(i));
            if (i == values.size()) break;
        }
        if (const int result = read_any_double(values[i]); result != 0) return result;
    }
    return 0;
}

int read_text(std::span<char> field) {
    FreeRead& r = io().read;
    if (r.quit) return 0;
    if (r.end_seen) return dispatch_failure(code_eof, list_in, r.end_branch);
    if (const int result = take_text(); result != 0) return result;
    if (r.current == FreeRead::Value::text) {
        // A zero byte ends the text; the field takes its first characters, blank padded.
        const std::size_t length = std::min(r.text.find('\0'), r.text.size());
        const std::size_t taken = std::min(length, field.size());
        std::copy_n(r.text.data(), taken, field.data());
        std::fill(field.begin() + static_cast<std::ptrdiff_t>(taken), field.end(), ' ');
    }
    if (r.repeat > 0) --r.repeat;
    return 0;
}

int end_free_read() {
    FreeRead& r = io().read;
    Unit& u = *r.source;
    if (!u.at_eof && !discard_line(u)) {
        if (u.stream.failed()) return dispatch_failure(u.stream.error(), list_in, r.end_branch);
        if (r.end_branch) return dispatch_failure(code_eof, list_in, true);
        statement_end(Statement::free_read);
        return -1;
    }
    statement_end(Statement::free_read);
    return 0;
}

}  // namespace smwave
