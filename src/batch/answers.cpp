#include "batch/answers.hpp"

#include <charconv>
#include <cstdint>
#include <optional>

#include "companion/suite_file.hpp"

namespace smwave::batch {

namespace {

using companion::Problem;
using companion::Result;

constexpr std::size_t longest_name = 90;  // smwave reads a file name into 90 characters

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool ends_item(char c) { return is_blank(c) || c == ',' || c == '/' || c == '\n'; }

// The answers line by line, as smwave's console reads take them: a read starts at a line's start and
// ends by dropping the rest of the last line it touched.
class DialogueWalk {
  public:
    DialogueWalk(std::string_view text, const std::string& name) : text_(text), name_(name) {}

    // One whole line (a file name); nothing when the answers have ended.
    std::optional<std::string_view> line() {
        if (at_ >= text_.size()) return std::nullopt;
        const std::size_t end = std::min(text_.find('\n', at_), text_.size());
        std::string_view taken = text_.substr(at_, end - at_);
        if (!taken.empty() && taken.back() == '\r') taken.remove_suffix(1);
        if (end < text_.size())
            next_line(end);
        else
            at_ = end;  // the last line, without a line end
        return taken;
    }

    // One free-format read of `count` items; gives the items' texts ("" for a null item; fewer texts
    // when a slash ends the read), or a Problem when the answers end first.
    Result<std::vector<std::string_view>> items(int count, std::string_view what) {
        std::vector<std::string_view> taken;
        int repeat = 0;
        std::string_view repeated;
        while (static_cast<int>(taken.size()) < count) {
            if (repeat > 0) {
                taken.push_back(repeated);
                --repeat;
                continue;
            }
            while (at_ < text_.size() && (is_blank(text_[at_]) || text_[at_] == '\n')) {
                if (text_[at_] == '\n')
                    next_line(at_);
                else
                    ++at_;
            }
            if (at_ >= text_.size())
                return Problem{name_, line_number_, "the answers end before " + std::string(what)};
            if (text_[at_] == '/') break;
            if (text_[at_] == ',') {
                ++at_;
                taken.emplace_back();
                continue;
            }
            item_line_ = line_number_;
            std::size_t end = at_;
            while (end < text_.size() && !ends_item(text_[end])) ++end;
            std::string_view item = text_.substr(at_, end - at_);
            at_ = end;
            skip_blanks_and_one_comma();
            const std::size_t star = item.find('*');
            if (star != std::string_view::npos && star > 0 && is_count(item.substr(0, star))) {
                repeated = item.substr(star + 1);
                std::from_chars(item.data(), item.data() + star, repeat);
                continue;
            }
            taken.push_back(item);
        }
        drop_rest_of_line();
        return taken;
    }

    // One integer answer (null: 0, the value smwave starts its answers with).
    Result<std::int32_t> integer(std::string_view what) {
        auto taken = items(1, what);
        if (!taken) return taken.problem();
        if (taken->empty() || taken->front().empty()) return 0;
        std::string_view item = taken->front();
        if (item.front() == '+') item.remove_prefix(1);
        std::int32_t value = 0;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), value);
        if (error != std::errc{} || end != item.data() + item.size()) {
            return Problem{
                name_, item_line_,
                std::string(what) + " must be an integer, not '" + std::string(taken->front()) + "'"};
        }
        return value;
    }

    std::uint64_t line_number() const { return line_number_; }
    std::string_view rest() const { return text_.substr(at_); }

  private:
    static bool is_count(std::string_view digits) {
        for (const char c : digits) {
            if (c < '0' || c > '9') return false;
        }
        return true;
    }
    void next_line(std::size_t newline) {
        at_ = newline + 1;
        ++line_number_;
    }
    void skip_blanks_and_one_comma() {
        while (at_ < text_.size() && is_blank(text_[at_])) ++at_;
        if (at_ < text_.size() && text_[at_] == ',') ++at_;
    }
    void drop_rest_of_line() {
        const std::size_t newline = text_.find('\n', at_);
        if (newline == std::string_view::npos) {
            at_ = text_.size();
            return;
        }
        next_line(newline);
    }

    std::string_view text_;
    const std::string& name_;
    std::size_t at_ = 0;
    std::uint64_t line_number_ = 1;
    std::uint64_t item_line_ = 1;  // the line of the latest item taken
};

// The waveform file's name from its answer line: smwave keeps 90 characters without trailing blanks.
std::string name_from_line(std::string_view line) {
    line = line.substr(0, std::min(line.size(), longest_name));
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
    DialogueWalk walk(text, name);
    if (!walk.line()) return Problem{name, 1, "the answers file is empty"};
    Answers answers;
    answers.after_first_line = std::string(walk.rest());

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
        if (auto corners = walk.items(4, "the four corner frequencies"); !corners) return corners.problem();
    }
    auto integration = walk.integer("the integration answer");
    if (!integration) return integration.problem();
    answers.changes_quantity = *integration >= 1 && *integration <= 3;
    auto cut = walk.integer("the cut answer");
    if (!cut) return cut.problem();
    if (*cut == 1) {
        if (auto start = walk.items(1, "the window's start"); !start) return start.problem();
        if (auto duration = walk.items(1, "the window's duration"); !duration) return duration.problem();
    }
    if (auto skip = walk.integer("the skip answer"); !skip) return skip.problem();

    const std::uint64_t name_line = walk.line_number();
    const auto line = walk.line();
    if (!line) return Problem{name, name_line, "the answers end before the waveform file's name"};
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
