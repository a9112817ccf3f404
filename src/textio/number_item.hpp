#pragma once
// One number item of a free-format read around its scan: the blanks and line ends before it, a slash
// or a comma where it would begin, and the separator after its value. The read of the console and
// of the table use it, and so does anything that must follow smwave's answers exactly as smwave
// reads them (the batch's walk through an answers file).
//
//     SpanBytes in(bytes);
//     NumberItem item = scan_number_item(in, NumberKind::integer);   // " 12abc" gives 12
#include <cstdint>

#include "textio/number_scan.hpp"

namespace smwave {

namespace item_detail {

inline bool is_blank(int c) { return c == ' ' || c == '\t'; }

}  // namespace item_detail

// What stands where an item begins, once blanks and line ends are skipped.
enum class ItemStart { end_of_stream, slash, comma, value };

template <class Bytes>
ItemStart skip_to_item(Bytes& in) {
    int c;
    do {
        c = in.get();
    } while (item_detail::is_blank(c) || c == '\n');
    if (c < 0) return ItemStart::end_of_stream;
    if (c == '/') return ItemStart::slash;
    if (c == ',') return ItemStart::comma;
    in.unget();
    return ItemStart::value;
}

// After a value: skips blanks and takes one comma as the value's separator, unless more items are
// still to take the value (the comma then belongs to the last of them).
template <class Bytes>
void skip_separator(Bytes& in, std::int32_t repeat) {
    int c;
    do {
        c = in.get();
    } while (item_detail::is_blank(c));
    if (c == ',' && repeat <= 1) return;
    in.unget();
}

struct NumberItem {
    ItemStart start;
    NumberScan scan;
};

// Skips to the item, scans its number and, after a value or a null, its separator.
template <class Bytes>
NumberItem scan_number_item(Bytes& in, NumberKind kind) {
    NumberItem item{skip_to_item(in), {}};
    if (item.start != ItemStart::value) return item;
    item.scan = scan_number(in, kind);
    if (item.scan.outcome == ScanOutcome::value || item.scan.outcome == ScanOutcome::null) {
        skip_separator(in, item.scan.repeat);
    }
    return item;
}

}  // namespace smwave
