#include "textio/output_record.hpp"

#include <algorithm>
#include <cstring>
#include <new>

#include "textio/io_context.hpp"

namespace smwave {
namespace {

// Every ordinary line fits the first buffer; a longer record moves to the second size, then doubles.
constexpr std::size_t first_capacity = 400;
constexpr std::size_t second_capacity = 1024;

}  // namespace

OutputRecord& output_record() { return io().record; }

void OutputRecord::begin(int number) {
    unit = number;
    length = 0;
    pending_blanks = 0;
    if (capacity == 0) room(first_capacity);
}

char* OutputRecord::room(std::size_t n) {
    if (length + n > capacity) {
        std::size_t grown = capacity == 0 ? first_capacity : std::max(capacity * 2, second_capacity);
        while (grown < length + n) grown = std::max(grown * 2, second_capacity);
        char* bigger = new (std::nothrow) char[grown];
        if (bigger == nullptr) fatal_io(err_no_space, "malloc failure");
        if (length > 0) std::memcpy(bigger, text.get(), length);
        text.reset(bigger);
        capacity = grown;
    }
    return text.get() + length;
}

void OutputRecord::append(const char* chars, std::size_t n) {
    std::memcpy(room(n), chars, n);
    length += n;
}

void OutputRecord::append_blanks(std::size_t n) {
    std::memset(room(n), ' ', n);
    length += n;
}

void OutputRecord::write_pending_blanks() {
    if (pending_blanks == 0) return;
    append_blanks(pending_blanks);
    pending_blanks = 0;
}

void OutputRecord::end_line() {
    hand_line(unit, text.get(), length);
    length = 0;
    pending_blanks = 0;
}

}  // namespace smwave
