#pragma once
// Text taken apart line by line, for the readers of text formats.
#include <cstdint>
#include <string>
#include <string_view>

#include "companion/text.hpp"

namespace smwave::table {

// Gives the lines of a text in order, without their line ends (LF or CR LF), numbered from 1.
class TextLines {
  public:
    explicit TextLines(std::string_view text) : rest_(text) {}
    // Takes the next line; false when the text is used up.
    bool next(std::string_view& line);
    // Takes the blank lines ahead; true when a line that is not blank follows, the one next() gives.
    bool skip_blank_lines();
    // Takes lines up to one that is not blank, which it gives; false when only blank lines are left.
    bool next_filled(std::string_view& line) { return skip_blank_lines() && next(line); }
    // The number of the line last taken.
    std::uint64_t number() const { return number_; }

  private:
    std::string_view rest_;
    std::uint64_t number_ = 0;
};

// Line `index` (from 0) of `content`, without its line end; empty when the text has fewer lines.
std::string_view nth_line(std::string_view content, int index);

// The shared trimming and case folding, by their short names in the readers.
using companion::lower_case;
using companion::trim;

// Takes the next blank- or tab-separated word off the front of `text`; empty when none is left.
std::string_view take_word(std::string_view& text);

// The text between quotes for a message, cut to its first 40 bytes ("'1234...'").
std::string quoted(std::string_view text);

// Whether the bytes look like text: no zero byte among the first kilobytes.
bool looks_like_text(std::string_view content);

}  // namespace smwave::table
