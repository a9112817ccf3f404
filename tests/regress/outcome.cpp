#include "regress/outcome.hpp"

#include <chrono>
#include <fstream>
#include <sstream>

#include "support/launch.hpp"

namespace smwave::regress {

namespace fs = std::filesystem;

namespace {

std::string whole_file(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_whole_file(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The line of `text` that starts at `start`, cut for display, or a note that the text has ended.
std::string shown_line(const std::string& text, std::size_t start) {
    if (start >= text.size()) return "(ends)";
    const std::size_t end = std::min(text.find('\n', start), text.size());
    std::string line = text.substr(start, std::min<std::size_t>(end - start, 200));
    return "'" + line + "'";
}

// Where two texts first differ, as a line number and the two lines.
std::string line_difference(const std::string& stream, const std::string& a, const std::string& b) {
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    const std::size_t previous_end = at == 0 ? std::string::npos : a.rfind('\n', at - 1);
    const std::size_t line_start = previous_end == std::string::npos ? 0 : previous_end + 1;
    std::size_t line_number = 1;
    for (std::size_t i = 0; i < line_start; ++i) line_number += a[i] == '\n';
    return stream + " line " + std::to_string(line_number) + ":\n  old " + shown_line(a, line_start) + "\n  new " +
           shown_line(b, line_start);
}

}  // namespace

Outcome run_scenario(const fs::path& program, const Scenario& scenario) {
    testing::TempDir dir;
    write_whole_file(dir / scenario.table_name, scenario.table);
    testing::Started run(dir.path(), {.program = program.string(), .input = scenario.answers, .name = "smwave"});
    const testing::ToolResult ended = run.wait(std::chrono::minutes(1));
    Outcome outcome{ended.out, ended.err, ended.status, ended.signal, {}};
    for (const auto& entry : fs::directory_iterator(dir.path()))
        outcome.files[entry.path().filename().string()] = whole_file(entry.path());
    return outcome;
}

std::optional<std::string> first_difference(const Outcome& old_run, const Outcome& new_run) {
    if (old_run.out != new_run.out) return line_difference("standard output", old_run.out, new_run.out);
    if (old_run.err != new_run.err) return line_difference("standard error", old_run.err, new_run.err);
    if (old_run.status != new_run.status || old_run.signal != new_run.signal) {
        return "exit: old status " + std::to_string(old_run.status) + " signal " + std::to_string(old_run.signal) +
               ", new status " + std::to_string(new_run.status) + " signal " + std::to_string(new_run.signal);
    }
    for (const auto& [name, bytes] : old_run.files) {
        const auto other = new_run.files.find(name);
        if (other == new_run.files.end()) return "file " + name + ": written by the old run only";
        if (other->second != bytes) return line_difference("file " + name, bytes, other->second);
    }
    for (const auto& [name, bytes] : new_run.files) {
        if (!old_run.files.contains(name)) return "file " + name + ": written by the new run only";
    }
    return std::nullopt;
}

}  // namespace smwave::regress
