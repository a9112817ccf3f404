#pragma once
// Format texts of edit-format records: "(F8.4,6(',',E12.4))" taken apart into its elements, and the
// walk over them that a record follows item by item.
//
// Elements, separated by commas (blanks between them ignored): nX (n blanks), / (record end),
// 'literal' ('' inside stands for one apostrophe), rFw.d, rEw.d (r copies, 1 when absent), and
// n( list ) (the list performed n times). Numbers in a format text are at most max_field_width.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace smwave {

// Run-time error for a format text that cannot be taken apart.
inline constexpr int err_format = 100;

// What the walk reached: an element that an output record performs.
enum class Action { skip, literal, record_end, field, end };

struct FormatStep {
    Action action = Action::end;
    int count = 0;               // skip: number of blanks
    std::string_view text = {};  // literal: its characters, apostrophes undoubled
    char descriptor = 0;         // field: 'F' or 'E'
    int width = 0;               // field: w
    int digits = 0;              // field: d
};

class FormatText {
  public:
    // Takes `text` apart, replacing the elements held before (their storage is reused), and places
    // the walk at the start. False when the text cannot be taken apart. The text taken apart last
    // is not taken apart again: its walk is the same, and the steps already walked are replayed.
    //     FormatText f; if (!f.parse("(F8.3,4(',',E12.4))")) ...;
    bool parse(std::string_view text);

    // Performs repeat groups and returns the next element that writes or takes an item; a field is
    // used up one copy per call. Action::end at the end of the outermost list.
    //     for (FormatStep s = f.next(); s.action != Action::field; s = f.next()) ...;
    FormatStep next();

  private:
    enum class Kind : std::uint8_t { skip, literal, record_end, field, group_open, group_close };
    struct Element {
        Kind kind = Kind::skip;
        char descriptor = 0;      // field: 'F' or 'E'
        int count = 1;            // skip: blanks; field: copies; group_open: passes
        int width = 0;            // field
        int digits = 0;           // field
        std::size_t offset = 0;   // literal: start in literals_
        std::size_t length = 0;   // literal: its length
        std::size_t partner = 0;  // group_open: index of its close; group_close: index of its open
        int passes_left = 0;      // group_close: passes of the group still to begin
    };
    class Parser;

    // The next step of the walk over the elements.
    FormatStep walk();

    std::string source_;   // the text the elements were taken from
    bool parsed_ = false;  // the elements hold a valid text
    std::vector<Element> elements_;
    std::string literals_;
    std::size_t position_ = 0;  // next element to perform
    int copies_left_ = 0;       // copies of the field at position_ not yet used (0: not entered)
    // The walk's steps so far from the start of the text; a record of the same text replays them
    // from replayed_ on, and the walk itself only goes on past their end.
    std::vector<FormatStep> steps_;
    std::size_t replayed_ = 0;
};

}  // namespace smwave
