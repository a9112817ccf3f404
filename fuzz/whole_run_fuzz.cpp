// Fuzz target: whole runs of the tool with arbitrary answers and a small arbitrary table.
//
// Input: one flag byte (bit 0: the answers begin with the line "t", the table's name), the answers up
// to the first zero byte, then the table (at most table_limit bytes). Each run takes place in a
// scratch folder, with the answers on standard input; opens of names outside that folder are refused
// (absolute names, names with ".."). Checked: the run ends only through its exits; a normal end
// writes nothing on standard error and leaves "amp3.csv" and the waveform file with rows of 48
// characters, each ending in a comma, as many as the run says; a refusal writes one line; a failure
// writes a well-formed report; after every end each file unit is closed.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "fuzz_support.hpp"
#include "run/driver.hpp"
#include "run/state.hpp"
#include "textio/units.hpp"

namespace {

// Set while a run is in progress: its opens stay inside the scratch folder.
bool confined = false;

}  // namespace

extern "C" int __real_open(const char* path, int flags, ...);

// Every open of the tool's code comes here (the target is linked with --wrap=open).
extern "C" int __wrap_open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    if (confined && (path[0] == '/' || std::strstr(path, "..") != nullptr)) {
        errno = EACCES;
        return -1;
    }
    return __real_open(path, flags, mode);
}

namespace smwave::fuzz {
namespace {

constexpr std::size_t table_limit = 2048;
constexpr std::size_t answers_limit = 1024;
constexpr std::string_view table_name = "t";
constexpr std::size_t row_length = 48;

std::string the_folder;

// The state of every run, zeroed between runs as far as a run can have touched it.
RunState run;

void remove_folder();

// The folder the runs take place in; made on first use and removed when the process exits.
const std::string& scratch_folder() {
    if (the_folder.empty()) {
        char name[] = "/tmp/smwave-fuzz-run-XXXXXX";
        if (::mkdtemp(name) == nullptr) finding("cannot make the scratch folder");
        the_folder = name;
        std::atexit(remove_folder);
    }
    return the_folder;
}

void write_file(const std::string& path, std::span<const std::uint8_t> bytes) {
    const int fd = __real_open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) finding("cannot write the table");
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) finding("cannot write the table");
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

void empty_folder(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) finding("cannot list the scratch folder");
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

void remove_folder() {
    empty_folder(the_folder);
    ::rmdir(the_folder.c_str());
}

// The rows of a written file after its header line; each must be 48 characters ending in a comma.
void check_rows(const std::string& path, std::int64_t expected_rows) {
    std::ifstream in(path, std::ios::binary);
    if (!in) finding("a file of a normal run is missing", path);
    std::string line;
    std::getline(in, line);
    std::int64_t rows = 0;
    while (std::getline(in, line)) {
        ++rows;
        if (line.size() != row_length || line.back() != ',')
            finding("a row is not 48 characters ending in a comma", line);
    }
    if (rows != expected_rows) {
        finding("a file has " + std::to_string(rows) + " rows instead of " + std::to_string(expected_rows),
                path);
    }
}

std::string trimmed_name(const TextField& field) {
    std::string name(field, text_field_length);
    name.erase(name.find_last_not_of(' ') + 1);
    return name;
}

void check_normal_end(const std::string& folder) {
    const std::string output = trimmed_name(run.output_name);
    // A waveform file named like the spectrum file replaces it; one named like the echo file shares it.
    if (output == "fort.99") return;
    if (output != "amp3.csv") check_rows(folder + "/amp3.csv", run.nom);
    const std::int64_t step = std::int64_t{run.iskip} + 1;
    const std::int64_t rows = run.nout > 0 ? (run.nout - 1) / step + 1 : 0;
    check_rows(folder + "/" + output, rows);
}

// Zeroes what a run over a table of `table_bytes` bytes can have touched: a complete row takes at
// least two bytes, and no series is used beyond the row count, the transform length or the window.
void reset_run_state(std::size_t table_bytes) {
    const std::size_t rows = table_bytes / 2 + 3;
    const std::size_t used = std::max({rows, static_cast<std::size_t>(std::max(run.nf, 0)),
                                       static_cast<std::size_t>(std::max(run.ndur, 0)),
                                       static_cast<std::size_t>(std::max(run.nt, 0))}) +
                             2;
    const std::size_t n = std::min<std::size_t>(used, capacity + 1);
    for (double* series : {run.time, run.xr1, run.xr2, run.xr3, run.x1, run.x2, run.x3}) {
        std::fill_n(series, n, 0.0);
    }
    for (Complex* series : {run.fx1, run.fx2, run.fx3}) std::fill_n(series, n, Complex{0.0, 0.0});
    std::memset(run.yy, 0, sizeof run.yy);
    for (char* field : {run.head1, run.head2, run.head3, run.head4, run.input_name, run.output_name})
        std::fill_n(field, text_field_length, '\0');
    // The scalars; the twiddle factors are made afresh by every run that transforms.
    std::memset(&run.myes, 0, offsetof(RunState, twiddles) - offsetof(RunState, myes));
    run.plan = {};
}

}  // namespace
}  // namespace smwave::fuzz

using namespace smwave;
using namespace smwave::fuzz;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    prepare_process();
    // The console dialogue goes nowhere.
    const int null = __real_open("/dev/null", O_WRONLY | O_CLOEXEC);
    ::dup2(null, STDOUT_FILENO);
    ::close(null);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return -1;
    static const std::string& folder = scratch_folder();
    static const std::string home = std::filesystem::current_path().string();
    static MemoryFile answers;
    static ErrorCapture errors;

    const std::uint8_t* split = std::find(data + 1, data + size, std::uint8_t{0});
    std::string typed = (data[0] & 1) != 0 ? std::string(table_name) + "\n" : std::string();
    typed.append(data + 1, split);
    const std::span<const std::uint8_t> table(split == data + size ? split : split + 1, data + size);
    if (typed.size() > answers_limit || table.size() > table_limit) return -1;

    answers.fill(std::span(reinterpret_cast<const std::uint8_t*>(typed.data()), typed.size()));
    answers.attach_to_stdin();
    write_file(folder + "/" + std::string(table_name), table);
    begin_input();
    if (::chdir(folder.c_str()) != 0) finding("cannot enter the scratch folder");

    int status = 1000;
    errors.start();
    confined = true;
    try {
        run_job(run);
    } catch (const RunEnded& ended) {
        status = ended.status;
    }
    confined = false;
    // The exit hook of the tool: written files are cut and closed.
    if (status >= 0) end_of_run_close();
    const std::string report(errors.stop());
    if (::chdir(home.c_str()) != 0) finding("cannot leave the scratch folder");

    for (const int u : {10, 11, 99}) {
        if (unit(u).connected()) finding("a file unit is still connected after the end of the run", report);
    }
    if (status == 0) {
        if (!report.empty()) finding("a normal end wrote on standard error", report);
        check_normal_end(folder);
    } else if (status == 2) {
        if (!report.starts_with("smwave: ") || report.find('\n') != report.size() - 1) {
            finding("a refusal is not one line", report);
        }
    } else if (status == -1) {
        check_fatal_report(report);
    } else {
        finding("the run ended with status " + std::to_string(status), report);
    }

    reset_run_state(table.size());
    empty_folder(folder);
    return 0;
}
