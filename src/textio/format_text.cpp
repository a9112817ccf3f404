#include "textio/format_text.hpp"

#include <charconv>

#include "textio/render.hpp"

namespace smwave {

// Recursive descent over one format text, appending to the elements and literal characters.
class FormatText::Parser {
  public:
    Parser(std::string_view text, FormatText& into) : text_(text), into_(into) {}

    bool format() {
        skip_blanks();
        if (!take('(') || !list()) return false;
        skip_blanks();
        return at_ == text_.size();
    }

  private:
    void skip_blanks() {
        while (at_ < text_.size() && text_[at_] == ' ') ++at_;
    }

    bool take(char c) {
        if (at_ >= text_.size() || text_[at_] != c) return false;
        ++at_;
        return true;
    }

    // Takes the upper-case letter `c` in either case.
    bool take_letter(char c) { return take(c) || take(static_cast<char>(c - 'A' + 'a')); }

    // Reads an unsigned number 0..max_field_width; false when there is none or it is larger.
    bool number(int& value) {
        const char* first = text_.data() + at_;
        auto [end, error] = std::from_chars(first, text_.data() + text_.size(), value);
        if (error != std::errc() || *first == '-' || value > max_field_width) return false;
        at_ += end - first;
        return true;
    }

    bool has_digit() const { return at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9'; }

    // The elements after an opening parenthesis, up to and including its closing one.
    bool list() {
        skip_blanks();
        if (take(')')) return true;
        for (;;) {
            skip_blanks();
            if (!element()) return false;
            skip_blanks();
            if (take(')')) return true;
            if (!take(',')) return false;
        }
    }

    bool element() {
        if (take('/')) {
            into_.elements_.push_back({.kind = Kind::record_end});
            return true;
        }
        if (take('\'')) return literal();
        int count = 1;
        const bool counted = has_digit();
        if (counted && (!number(count) || count < 1)) return false;
        if (take_letter('X')) {
            if (!counted) return false;
            into_.elements_.push_back({.kind = Kind::skip, .count = count});
            return true;
        }
        if (take('(')) return group(count);
        for (char descriptor : {'F', 'E'}) {
            if (take_letter(descriptor)) return field(descriptor, count);
        }
        return false;
    }

    // The characters up to the closing apostrophe; two apostrophes in a row stand for one.
    bool literal() {
        Element element{.kind = Kind::literal, .offset = into_.literals_.size()};
        for (;;) {
            const std::size_t quote = text_.find('\'', at_);
            if (quote == std::string_view::npos) return false;
            into_.literals_.append(text_.substr(at_, quote - at_));
            at_ = quote + 1;
            if (!take('\'')) break;
            into_.literals_.push_back('\'');
        }
        element.length = into_.literals_.size() - element.offset;
        into_.elements_.push_back(element);
        return true;
    }

    bool group(int passes) {
        const std::size_t open = into_.elements_.size();
        into_.elements_.push_back({.kind = Kind::group_open, .count = passes});
        if (!list()) return false;
        into_.elements_[open].partner = into_.elements_.size();
        into_.elements_.push_back({.kind = Kind::group_close, .partner = open});
        return true;
    }

    // w.d after the letter: w at least 1, d at least 1 for an exponent field.
    bool field(char descriptor, int copies) {
        int width = 0;
        int digits = 0;
        if (!number(width) || width < 1 || !take('.') || !number(digits)) return false;
        if (descriptor == 'E' && digits < 1) return false;
        into_.elements_.push_back({.kind = Kind::field,
                                   .descriptor = descriptor,
                                   .count = copies,
                                   .width = width,
                                   .digits = digits});
        return true;
    }

    std::string_view text_;
    FormatText& into_;
    std::size_t at_ = 0;
};

bool FormatText::parse(std::string_view text) {
    replayed_ = 0;
    // The same text gives the same elements and the same walk: it starts again from its first step.
    if (parsed_ && text == source_) return true;
    position_ = 0;
    copies_left_ = 0;
    steps_.clear();
    elements_.clear();
    literals_.clear();
    parsed_ = Parser(text, *this).format();
    source_ = parsed_ ? text : std::string_view();
    return parsed_;
}

FormatStep FormatText::next() {
    if (replayed_ == steps_.size()) steps_.push_back(walk());
    return steps_[replayed_++];
}

FormatStep FormatText::walk() {
    while (position_ < elements_.size()) {
        Element& element = elements_[position_];
        switch (element.kind) {
            case Kind::skip:
                ++position_;
                return {.action = Action::skip, .count = element.count};
            case Kind::literal:
                ++position_;
                return {.action = Action::literal,
                        .text = std::string_view(literals_).substr(element.offset, element.length)};
            case Kind::record_end:
                ++position_;
                return {.action = Action::record_end};
            case Kind::field:
                if (copies_left_ == 0) copies_left_ = element.count;
                if (--copies_left_ == 0) ++position_;
                return {.action = Action::field,
                        .descriptor = element.descriptor,
                        .width = element.width,
                        .digits = element.digits};
            case Kind::group_open:
                elements_[element.partner].passes_left = element.count - 1;
                ++position_;
                break;
            case Kind::group_close:
                if (element.passes_left > 0) {
                    --element.passes_left;
                    position_ = element.partner + 1;
                } else {
                    ++position_;
                }
                break;
        }
    }
    return {.action = Action::end};
}

}  // namespace smwave
