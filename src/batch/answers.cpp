#include "batch/answers.hpp"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "companion/suite_file.hpp"
#include "facts/core_facts.hpp"
#include "textio/line_bytes.hpp"
#include "textio/number_item.hpp"

namespace smwave::batch {

namespace {

using companion::Problem;
using companion::Result;

constexpr std::size_t longest_name = facts::name_length;  // smwave reads a file name into this many characters

// The answers as smwave's console reads take them, with smwave's own item scan: a read starts where
// the previous one stopped and ends by dropping the rest of the last line it touched; once a read
// meets the end of the answers, every later read fails, as smwave's do.
class DialogueWalk {
  public:
    DialogueWalk(std::string_view text, std::size_t start, const std::string& name)
        : text_(text), in_(bytes_from(text, start)), start_(start), name_(name) {}

    // The file-name read: 90 characters of one line, blank padded at its line end. smwave's read fails
    // when the answers have ended, or end before that line does; and when they end inside the
    // rest of a long line, the next read (the final wait) fails.
    Result<std::string> line(std::string_view what) {
        if (at_end_) return ends_before(what);
        std::string taken;
        while (taken.size() < longest_name) {
            const int c = in_.get();
            if (c < 0) {
                at_end_ = true;
                if (taken.empty()) return ends_before(what);
                return without_line_end(what);
            }
            if (c == '\n') {
                in_.unget();
                break;
            }
            taken += static_cast<char>(c);
        }
        drop_rest_of_line();
        if (at_end_) return without_line_end(what);
        return taken;
    }

    // One free-format read of `count` number items; gives what each item stores (nothing for an item
    // that leaves its variable unchanged), or a Problem where smwave's read would end the run.
    Result<std::vector<std::optional<double>>> numbers(int count, NumberKind kind, std::string_view what) {
        if (at_end_) return ends_before(what);
        std::vector<std::optional<double>> stored;
        bool quit = false;
        std::int32_t repeat = 0;
        std::optional<double> current;
        for (int i = 0; i < count; ++i) {
            if (quit) {
                stored.emplace_back();
                continue;
            }
            if (at_end_) return ends_before(what);
            if (repeat > 0) {
                skip_separator(in_, repeat);
            } else {
                current.reset();
                const std::size_t item_at = offset();
                const NumberItem item = scan_number_item(in_, kind);
                at_end_ = in_.edge();
                if (item.start == ItemStart::end_of_stream) return ends_before(what);
                if (item.start == ItemStart::slash) {
                    quit = true;
                    stored.emplace_back();
                    continue;
                }
                if (item.start == ItemStart::comma) {
                    repeat = 1;
                } else if (item.scan.outcome == ScanOutcome::value || item.scan.outcome == ScanOutcome::null) {
                    repeat = item.scan.repeat;
                    if (item.scan.outcome == ScanOutcome::value) current = item.scan.value;
                } else {
                    return not_a_number(what, kind, item_at);
                }
            }
            stored.push_back(current);
            if (repeat > 0) --repeat;
        }
        if (!at_end_) drop_rest_of_line();
        return stored;
    }

    // One integer answer as smwave stores it (a null answer keeps 0, the value it starts with).
    Result<std::int32_t> integer(std::string_view what) {
        auto taken = numbers(1, NumberKind::integer, what);
        if (!taken) return taken.problem();
        return taken->front() ? cut_to_int32(*taken->front()) : 0;
    }

    std::uint64_t line_number() const { return line_of(offset()); }

  private:
    static SpanBytes bytes_from(std::string_view text, std::size_t start) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
        return SpanBytes({bytes + start, text.size() - start});
    }
    std::size_t offset() const { return start_ + in_.consumed(); }
    std::uint64_t line_of(std::size_t at) const {
        return 1 + static_cast<std::uint64_t>(std::count(text_.begin(), text_.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
    }
    void drop_rest_of_line() {
        for (int c = in_.get(); c != '\n'; c = in_.get()) {
            if (c < 0) {
                at_end_ = true;
                return;
            }
        }
    }
    Problem ends_before(std::string_view what) const {
        return Problem{name_, line_number(), "the answers end before " + std::string(what)};
    }
    Problem without_line_end(std::string_view what) const {
        return Problem{name_, line_number(),
                       "the line of " + std::string(what) + " has no line end, without which smwave stops there"};
    }
    // The refusal of the item at `at`, shown up to the next blank or line end.
    Problem not_a_number(std::string_view what, NumberKind kind, std::size_t at) const {
        while (at < text_.size() && (text_[at] == ' ' || text_[at] == '\t' || text_[at] == '\n')) ++at;
        std::size_t end = at;
        while (end < text_.size() && text_[end] != ' ' && text_[end] != '\t' && text_[end] != '\n' &&
               text_[end] != '\r')
            ++end;
        const std::string item(text_.substr(at, end - at));
        return Problem{name_, line_of(at),
                       std::string(what) + (kind == NumberKind::integer ? " must be an integer" : " must be numbers") +
                           ", not '" + item + "'"};
    }

    std::string_view text_;
    SpanBytes in_;
    std::size_t start_;  // where the answers after the first line begin in `text_`
    const std::string& name_;
    bool at_end_ = false;  // a read has met the end of the answers
};

// The waveform file's name from its answer line: smwave keeps 90 characters without trailing blanks.
std::string name_from_line(std::string_view line) {
    while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    return std::string(line);
}

std::optional<std::string> unsafe_name_reason(const std::string& name) {
    if (name.empty()) return "the waveform file's name is empty";
    if (name.find('/') != std::string::npos) {
        return "the waveform file's name '" + name +
               "' is a path: every record writes it into its own folder, so it must be a plain name";
    }
    if (name == "." || name == "..") return "the waveform file's name '" + name + "' names a folder";
    for (const std::string_view taken :
         {table_link_name, console_name, errors_name, answers_name, finished_marker_name, response_name,
          std::string_view("fort.99"), std::string_view("amp3.csv")}) {
        if (name == taken) {
            return "the waveform file's name '" + name + "' is taken by another file of the record's folder";
        }
    }
    return std::nullopt;
}

}  // namespace

Result<Answers> parse_answers(std::string_view text, const std::string& name) {
    if (text.empty()) return Problem{name, 1, "the answers file is empty"};
    // The first line, the table's name, is replaced for each record; the walk starts after it.
    const std::size_t first_line_end = text.find('\n');
    const std::size_t start = first_line_end == std::string_view::npos ? text.size() : first_line_end + 1;
    DialogueWalk walk(text, start, name);
    Answers answers;
    answers.after_first_line = std::string(text.substr(start));

    auto sign = walk.integer("the sign answer");
    if (!sign) return sign.problem();
    if (*sign == 1) {
        for (const char* component : {"the sign answer of component 1", "the sign answer of component 2",
                                      "the sign answer of component 3"}) {
            if (auto answer = walk.integer(component); !answer) return answer.problem();
        }
    }
    auto band_pass = walk.integer("the band-pass answer");
    if (!band_pass) return band_pass.problem();
    if (*band_pass == 1) {
        if (auto corners = walk.numbers(4, NumberKind::real, "the four corner frequencies"); !corners) return corners.problem();
    }
    auto integration = walk.integer("the integration answer");
    if (!integration) return integration.problem();
    answers.changes_quantity = *integration >= 1 && *integration <= 3;
    auto cut = walk.integer("the cut answer");
    if (!cut) return cut.problem();
    if (*cut == 1) {
        if (auto start = walk.numbers(1, NumberKind::real, "the window's start"); !start) return start.problem();
        if (auto duration = walk.numbers(1, NumberKind::real, "the window's duration"); !duration) return duration.problem();
    }
    if (auto skip = walk.integer("the skip answer"); !skip) return skip.problem();

    const std::uint64_t name_line = walk.line_number();
    const auto line = walk.line("the waveform file's name");
    if (!line) return line.problem();
    answers.waveform_name = name_from_line(*line);
    if (auto reason = unsafe_name_reason(answers.waveform_name)) return Problem{name, name_line, *reason};
    return answers;
}

Result<Answers> read_answers(const std::filesystem::path& file) {
    auto text = companion::read_whole_file(file);
    if (!text) return text.problem();
    return parse_answers(*text, file.string());
}

std::string answers_for_table(const Answers& answers, std::string_view table_name) {
    std::string text(table_name);
    text += '\n';
    text += answers.after_first_line;
    return text;
}

}  // namespace smwave::batch
