#include "companion/suite_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>

#include "companion/number_text.hpp"
#include "companion/text.hpp"
#include "facts/core_facts.hpp"

namespace smwave::companion {

namespace {

constexpr double no_number = std::numeric_limits<double>::quiet_NaN();

// Splits at every `separator`; blank runs count as one separator when `separator` is ' '.
void split(std::string_view line, char separator, std::vector<std::string_view>& fields) {
    fields.clear();
    if (separator == ' ') {
        std::size_t at = 0;
        while (at < line.size()) {
            while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
            if (at == line.size()) break;
            const std::size_t end = line.find_first_of(" \t", at);
            const std::size_t stop = end == std::string_view::npos ? line.size() : end;
            fields.push_back(line.substr(at, stop - at));
            at = stop;
        }
        return;
    }
    std::size_t at = 0;
    while (true) {
        const std::size_t end = line.find(separator, at);
        if (end == std::string_view::npos) {
            fields.push_back(line.substr(at));
            return;
        }
        fields.push_back(line.substr(at, end - at));
        at = end + 1;
    }
}

struct Layout {
    SuiteFileKind kind;
    char separator;
    bool comma_ended;  // every row ends with a comma (the edit-format rows)
};

bool is_echo_row(std::string_view line) {
    std::vector<std::string_view> fields;
    split(line, ' ', fields);
    if (fields.size() != 4) return false;
    for (const auto field : fields) {
        if (!parse_number(field)) return false;
    }
    return true;
}

class Parser {
  public:
    Parser(std::string_view text, const std::string& name) : text_(text), name_(name) {}

    Result<SuiteTable> parse() {
        if (text_.empty()) {
            return Problem{name_, 1,
                           "the file is empty; expected a waveform file, amp3.csv, fort.99 or a "
                           "response file"};
        }
        std::string_view line;
        bool have_line = next_line(line);
        while (have_line && trim(line).starts_with('#')) {
            table_.comments.emplace_back(trim(line).substr(1));
            have_line = next_line(line);
        }
        if (!have_line) {
            // The end lies on a line of its own after a line end, else on the last line.
            return Problem{name_, line_number_ + (cut_short_ ? 0 : 1),
                           "expected a header line or a row, found the end of the file"};
        }
        auto layout = recognise(trim(line));
        if (!layout) return layout.problem();
        table_.kind = layout->kind;
        if (layout->kind == SuiteFileKind::echo) {
            if (auto problem = take_row(line, *layout)) return *problem;
        }
        while (next_line(line)) {
            if (trim(line).empty()) continue;
            if (auto problem = take_row(line, *layout)) return *problem;
        }
        return std::move(table_);
    }

  private:
    // The next line without its line end; false at the end of the text.
    bool next_line(std::string_view& line) {
        if (at_ >= text_.size()) return false;
        const std::size_t end = text_.find('\n', at_);
        ++line_number_;
        if (end == std::string_view::npos) {
            line = text_.substr(at_);
            at_ = text_.size();
            cut_short_ = true;
            return true;
        }
        line = text_.substr(at_, end - at_);
        at_ = end + 1;
        return true;
    }

    Result<Layout> recognise(std::string_view header) {
        if (header == facts::waveform_header) {
            table_.names = {"time(s)", "comp1", "comp2", "comp3"};
            return Layout{SuiteFileKind::waveform, ',', true};
        }
        if (header == facts::spectrum_header) {
            table_.names = {"frequency(Hz)", "comp1", "comp2", "comp3"};
            return Layout{SuiteFileKind::spectrum, ',', true};
        }
        if (header.starts_with("damping,period(s),")) {
            std::vector<std::string_view> fields;
            split(header, ',', fields);
            for (const auto field : fields) table_.names.emplace_back(trim(field));
            return Layout{SuiteFileKind::response, ',', false};
        }
        if (table_.comments.empty() && is_echo_row(header)) {
            table_.names = {"time", "comp1", "comp2", "comp3"};
            return Layout{SuiteFileKind::echo, ' ', false};
        }
        return Problem{
            name_, line_number_,
            "expected the header of a waveform file (\"" + std::string(facts::waveform_header) +
                "\"), of amp3.csv (\"" + std::string(facts::spectrum_header) +
                "\") or of a response file (\"damping,period(s),...\"), or a row of fort.99 (four numbers)"};
    }

    Status take_row(std::string_view line, const Layout& layout) {
        if (cut_short_) {
            return Problem{name_, line_number_,
                           "the file ends within this row (no line end): it is cut short"};
        }
        line = trim(line);
        if (layout.comma_ended) {
            if (line.empty() || line.back() != ',') {
                return Problem{name_, line_number_, "expected a row ending with a comma: it is cut short"};
            }
            line.remove_suffix(1);
        }
        split(line, layout.separator, fields_);
        const std::size_t expected = table_.names.size();
        if (fields_.size() != expected) {
            return Problem{
                name_, line_number_,
                "expected " + std::to_string(expected) + " values, found " + std::to_string(fields_.size())};
        }
        if (table_.columns.empty()) table_.columns.resize(expected);
        for (std::size_t c = 0; c < expected; ++c) {
            const auto value = parse_number(fields_[c]);
            if (!value || !std::isfinite(*value)) {
                if (table_.non_numeric++ == 0) table_.first_non_numeric_line = line_number_;
            }
            table_.columns[c].push_back(value && std::isfinite(*value) ? *value : no_number);
        }
        table_.lines.push_back(line_number_);
        return std::nullopt;
    }

    std::string_view text_;
    const std::string& name_;
    std::size_t at_ = 0;
    std::uint32_t line_number_ = 0;
    bool cut_short_ = false;
    SuiteTable table_;
    std::vector<std::string_view> fields_;
};

}  // namespace

std::string_view kind_name(SuiteFileKind kind) {
    switch (kind) {
        case SuiteFileKind::waveform:
            return "waveform file";
        case SuiteFileKind::spectrum:
            return "amp3.csv";
        case SuiteFileKind::echo:
            return "fort.99";
        case SuiteFileKind::response:
            return "response file";
    }
    return "file";
}

Result<SuiteTable> parse_suite_text(std::string_view text, const std::string& name) {
    Result<SuiteTable> table = Parser(text, name).parse();
    if (table && table->columns.empty()) table->columns.resize(table->names.size());
    return table;
}

Result<std::string> read_whole_file(const std::filesystem::path& file) {
    const std::string name = file.string();
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) return Problem{name, 0, std::string("cannot open: ") + std::strerror(errno)};
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return Problem{name, 0,
                       S_ISDIR(status.st_mode) ? "is a folder, not a file" : "is not a regular file"};
    }
    std::string text;
    // One byte more than the file holds, so that the read that finds its end needs no larger buffer.
    text.resize(static_cast<std::size_t>(status.st_size) + 1);
    std::size_t done = 0;
    while (true) {
        if (done == text.size()) text.resize(text.size() + 65536);
        const ssize_t got = ::read(descriptor, text.data() + done, text.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            const int error = errno;
            ::close(descriptor);
            return Problem{name, 0, std::string("cannot read: ") + std::strerror(error)};
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    ::close(descriptor);
    text.resize(done);
    return text;
}

Result<SuiteTable> read_suite_file(const std::filesystem::path& file) {
    auto text = read_whole_file(file);
    if (!text) return text.problem();
    return parse_suite_text(*text, file.string());
}

Result<TableHead> parse_table_head(std::string_view text, const std::string& name) {
    TableHead head;
    for (int line = 1; line <= 2; ++line) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            return Problem{name, static_cast<std::uint64_t>(line),
                           "expected the table's two head lines, found the end of the file"};
        }
        const std::string_view content = trim(text.substr(0, end));
        text.remove_prefix(end + 1);
        if (line == 2) {
            head.second_line = std::string(content);
            head.metadata = parse_metadata(content);
            break;
        }
        std::vector<std::string_view> words;
        split(content, ' ', words);
        for (const auto word : words) head.words.emplace_back(word);
    }
    return head;
}

Result<TableHead> read_table_head(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return Problem{file.string(), 0, std::string("cannot open: ") + std::strerror(errno)};
    std::string text, line;
    for (int k = 0; k < 2 && std::getline(in, line); ++k) {
        text += line;
        if (!in.eof()) text += '\n';
    }
    return parse_table_head(text, file.string());
}

}  // namespace smwave::companion
