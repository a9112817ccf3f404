#include "batch/outcome.hpp"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <vector>

#include "companion/messages.hpp"
#include "companion/number_text.hpp"
#include "companion/suite_file.hpp"
#include "facts/core_facts.hpp"

namespace smwave::batch {

namespace fs = std::filesystem;

std::string signal_name(int signal_number) {
    static const std::pair<int, const char*> names[] = {
        {SIGHUP, "SIGHUP"},   {SIGINT, "SIGINT"},   {SIGQUIT, "SIGQUIT"}, {SIGILL, "SIGILL"},
        {SIGTRAP, "SIGTRAP"}, {SIGABRT, "SIGABRT"}, {SIGBUS, "SIGBUS"},   {SIGFPE, "SIGFPE"},
        {SIGKILL, "SIGKILL"}, {SIGSEGV, "SIGSEGV"}, {SIGPIPE, "SIGPIPE"}, {SIGALRM, "SIGALRM"},
        {SIGTERM, "SIGTERM"}, {SIGUSR1, "SIGUSR1"}, {SIGUSR2, "SIGUSR2"}, {SIGXCPU, "SIGXCPU"},
    };
    for (const auto& [number, name] : names) {
        if (number == signal_number) return name;
    }
    return "signal " + std::to_string(signal_number);
}

namespace {

constexpr int abort_exit_status = 128 + SIGABRT;  // a shell's report of an abort

std::string exit_text(int wait_status) {
    if (WIFSIGNALED(wait_status)) return signal_name(WTERMSIG(wait_status));
    return std::to_string(WEXITSTATUS(wait_status));
}

std::string number_text(double value) {
    std::string text;
    companion::append_shortest(text, value);
    return text;
}

// The numbers that follow `label` on its console line, as the suite's number fields.
std::vector<double> numbers_after(std::string_view console, std::string_view label) {
    std::vector<double> numbers;
    const std::size_t found = console.find(label);
    if (found == std::string_view::npos) return numbers;
    std::size_t at = found + label.size();
    const std::size_t end = std::min(console.find('\n', at), console.size());
    while (at < end) {
        while (at < end && console[at] == ' ') ++at;
        std::size_t stop = at;
        while (stop < end && console[stop] != ' ') ++stop;
        if (stop > at) {
            const auto value = companion::parse_number(console.substr(at, stop - at));
            if (!value) break;
            numbers.push_back(*value);
        }
        at = stop;
    }
    return numbers;
}

std::string read_small_file(const fs::path& file, std::size_t limit, std::size_t from = 0) {
    std::string text(limit, '\0');
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) return {};
    std::size_t done = 0;
    while (done < limit) {
        const ssize_t got =
            ::pread(descriptor, text.data() + done, limit - done, static_cast<off_t>(from + done));
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    ::close(descriptor);
    text.resize(done);
    return text;
}

}  // namespace

void classify_run(const ProcessEnd& end, const std::string& first_error_line, Row& row) {
    const int status = end.wait_status;
    row[exit_status_column] = exit_text(status);
    row[message_column] = first_error_line;
    const bool exited = WIFEXITED(status);
    const int code = exited ? WEXITSTATUS(status) : 0;
    if (end.interrupted) {
        row[status_column] = "interrupted";
    } else if (end.timed_out) {
        row[status_column] = "killed";
        row[message_column] = "still running after the timeout of " + number_text(end.timeout_seconds) + " s";
    } else if (exited && code == 0) {
        row[status_column] = "ok";
    } else if (exited && code == 2) {
        row[status_column] = "refused";
    } else if ((!exited && WTERMSIG(status) == SIGABRT) || (exited && code == abort_exit_status)) {
        row[status_column] = "failed";
    } else if (!exited || code == 1) {
        row[status_column] = "killed";  // a signal, or smwave's own report of one (status 1)
    } else {
        row[status_column] = "failed";
    }
}

std::string first_line_of(const fs::path& file, std::size_t from) {
    std::string text = read_small_file(file, 512, from);
    const std::size_t end = text.find('\n');
    if (end != std::string::npos) text.resize(end);
    if (!text.empty() && text.back() == '\r') text.pop_back();
    return text;
}

void read_console(const fs::path& console, Row& row) {
    const std::string text = read_small_file(console, 1 << 16);
    if (const auto nt_dt = numbers_after(text, facts::rows_and_interval_label); nt_dt.size() == 2) {
        row[rows_column] = number_text(nt_dt[0]);
        row[dt_column] = number_text(nt_dt[1]);
    }
    if (const auto if1_nf = numbers_after(text, facts::transform_label); if1_nf.size() == 2) {
        row[nf_column] = number_text(if1_nf[1]);
    }
    if (text.find(facts::too_many_rows_line) != std::string::npos && row[status_column] == "ok") {
        row[status_column] = "refused";
        row[message_column] = companion::too_many_rows_message();
    }
}

void read_waveform(const fs::path& folder, const std::string& shown_folder, const std::string& waveform_name,
                   Row& row) {
    row[spectrum_column] = shown_folder + "/amp3.csv";
    auto table = companion::read_suite_file(folder / waveform_name);
    if (!table || table->kind != companion::SuiteFileKind::waveform) {
        row[status_column] = "failed";
        row[message_column] = table ? describe(companion::Problem{waveform_name, 0, "is no waveform file"})
                                    : describe(table.problem());
        return;
    }
    row[waveform_column] = shown_folder + "/" + waveform_name;
    const auto& time = table->columns[0];
    for (std::size_t component = 1; component <= 3; ++component) {
        const auto& values = table->columns[component];
        double peak = -1;
        std::size_t peak_row = 0;
        for (std::size_t at = 0; at < values.size(); ++at) {
            const double size = std::fabs(values[at]);
            if (size > peak) {  // NaN (a field without a number) never compares greater
                peak = size;
                peak_row = at;
            }
        }
        if (peak < 0) continue;
        row[peak1_column + 2 * (component - 1)] = number_text(peak);
        row[peak1_column + 2 * (component - 1) + 1] = number_text(time[peak_row]);
    }
}

void read_response(const fs::path& response, Row& row) {
    auto table = companion::read_suite_file(response);
    if (!table || table->kind != companion::SuiteFileKind::response) {
        row[status_column] = "failed";
        row[message_column] = table
                                  ? describe(companion::Problem{response.string(), 0, "is no response file"})
                                  : describe(table.problem());
        return;
    }
    std::size_t period_column = table->names.size(), psa1_column = table->names.size();
    for (std::size_t at = 0; at < table->names.size(); ++at) {
        if (table->names[at] == "period(s)") period_column = at;
        if (table->names[at] == "psa1") psa1_column = at;
    }
    if (period_column == table->names.size() || psa1_column + 2 >= table->names.size()) return;
    const double periods[] = {0.3, 1.0, 3.0};
    for (std::size_t p = 0; p < 3; ++p) {
        const auto& column = table->columns[period_column];
        for (std::size_t at = 0; at < column.size(); ++at) {
            if (std::fabs(column[at] - periods[p]) > 1e-9 * periods[p]) continue;
            for (std::size_t k = 0; k < 3; ++k) {
                const double psa = table->columns[psa1_column + k][at];
                if (!std::isnan(psa)) row[psa_first_column + 3 * p + k] = number_text(psa);
            }
            break;
        }
    }
}

void mark_step_failed(const std::string& tool, const ProcessEnd& end, const std::string& first_error_line,
                      Row& row) {
    Row step = row;
    classify_run(end, first_error_line, step);
    row[status_column] = step[status_column] == "ok" ? "failed" : step[status_column];
    row[exit_status_column] = tool + " " + step[exit_status_column];
    row[message_column] = first_error_line.empty() ? tool + " failed" : first_error_line;
}

std::string component_labels(const fs::path& table) {
    const std::string head = read_small_file(table, 4096);
    const std::string_view line = std::string_view(head).substr(0, head.find('\n'));
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size() && words.size() < 4) {
        while (at < line.size() &&
               (line[at] == ' ' || line[at] == '\t' || line[at] == ',' || line[at] == '\r')) {
            ++at;
        }
        std::size_t stop = at;
        while (stop < line.size() && line[stop] != ' ' && line[stop] != '\t' && line[stop] != ',' &&
               line[stop] != '\r') {
            ++stop;
        }
        if (stop > at) words.push_back(line.substr(at, stop - at));
        at = stop;
    }
    if (words.size() < 4) return {};
    return std::string(words[1]) + "," + std::string(words[2]) + "," + std::string(words[3]);
}

}  // namespace smwave::batch
