#include "table/text_lines.hpp"

#include <algorithm>

namespace smwave::table {

bool TextLines::next(std::string_view& line) {
    if (rest_.empty()) return false;
    const std::size_t end = rest_.find('\n');
    if (end == std::string_view::npos) {
        line = rest_;
        rest_ = {};
    } else {
        line = rest_.substr(0, end);
        rest_.remove_prefix(end + 1);
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++number_;
    return true;
}

bool TextLines::skip_blank_lines() {
    TextLines ahead = *this;
    std::string_view line;
    while (ahead.next(line)) {
        if (!trim(line).empty()) return true;
        *this = ahead;
    }
    return false;
}

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

std::string_view nth_line(std::string_view content, int index) {
    TextLines lines(content);
    std::string_view line;
    for (int k = 0; k <= index; ++k) {
        if (!lines.next(line)) return {};
    }
    return line;
}

std::string_view take_word(std::string_view& text) {
    std::size_t first = 0;
    while (first < text.size() && is_blank(text[first])) ++first;
    std::size_t last = first;
    while (last < text.size() && !is_blank(text[last])) ++last;
    const std::string_view word = text.substr(first, last - first);
    text.remove_prefix(last);
    return word;
}

std::string quoted(std::string_view text) {
    constexpr std::size_t longest = 40;
    if (text.size() <= longest) return "'" + std::string(text) + "'";
    return "'" + std::string(text.substr(0, longest)) + "...'";
}

bool looks_like_text(std::string_view content) {
    const std::string_view head = content.substr(0, std::min<std::size_t>(content.size(), 4096));
    return head.find('\0') == std::string_view::npos;
}

}  // namespace smwave::table
