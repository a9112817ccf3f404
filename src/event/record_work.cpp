#include "event/record_work.hpp"

#include <sys/wait.h>

#include <algorithm>
#include <fstream>

#include "companion/messages.hpp"
#include "companion/number_text.hpp"
#include "companion/suite_file.hpp"
#include "companion/table_metadata.hpp"
#include "event/finished_marker.hpp"
#include "facts/core_facts.hpp"

namespace smwave::event {

namespace fs = std::filesystem;

namespace {


std::string number_text(double value) {
    std::string text;
    companion::append_shortest(text, value);
    return text;
}

// "--threads N" when the record's programs should not take one thread per core.
void add_threads(std::vector<std::string>& arguments, unsigned threads) {
    if (threads > 0) arguments.insert(arguments.end(), {"--threads", std::to_string(threads)});
}

const char* quantity_of(int integration) {
    return integration == 0 ? "acceleration" : integration == 1 ? "velocity" : "displacement";
}

std::string first_line_of(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    if (line.size() > 512) line.resize(512);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::string read_text(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string end_text(int wait_status) {
    if (WIFSIGNALED(wait_status)) return "signal " + std::to_string(WTERMSIG(wait_status));
    return "status " + std::to_string(WEXITSTATUS(wait_status));
}

// The answers of one smwave run: no sign change, the band, the integration, no cut, no skip.
std::string answers_text(const std::array<double, 4>& band, int integration) {
    std::string text = "table.txt\n0\n1\n";
    for (std::size_t at = 0; at < 4; ++at) text += number_text(band[at]) + (at < 3 ? " " : "\n");
    text += std::to_string(integration) + "\n0\n0\n" + quantity_of(integration) + ".csv\n\n";
    return text;
}

// Files an earlier run of the record may have left, removed before it runs again.
const char* const made_files[] = {
    "table.txt",  "errors-table.txt", "fort.99",   "amp3.csv",   "spectra.csv", "psa.csv",
    "measures.csv", "errors-response.txt", "errors-measures.txt", "finished.txt",
};

}  // namespace

std::string RecordWork::errors_name(Step step) {
    switch (step) {
        case Step::convert: return "errors-table.txt";
        case Step::acceleration: return "errors-acceleration.txt";
        case Step::velocity: return "errors-velocity.txt";
        case Step::displacement: return "errors-displacement.txt";
        case Step::spectra:
        case Step::periods: return "errors-response.txt";
        case Step::measures: return "errors-measures.txt";
    }
    return "";
}

std::array<double, 4> band_for(const std::array<double, 4>& band, double interval) {
    std::array<double, 4> corners = band;
    const double nyquist = 0.5 / interval;
    if (nyquist < 33.4) {
        corners[2] = 0.75 * nyquist;
        corners[3] = 0.9 * nyquist;
    }
    return corners;
}

RecordWork::RecordWork(const Download& download, const fs::path& out, const Programs& programs,
                       const ProcessingSettings& settings, bool resume, jobs::Progress& progress)
    : download_(download), out_(out), programs_(programs), settings_(settings), resume_(resume), progress_(progress) {
    for (std::size_t item = 0; item < download.records.size(); ++item)
        identities_.push_back(record_identity(download, item, settings));
    runs_.resize(download.records.size());
    steps_.resize(download.records.size(), Step::convert);
}

fs::path RecordWork::folder(std::size_t item) const { return out_ / download_.records[item].name; }

void RecordWork::fail(std::size_t item, Status status, Reason reason, std::string message) {
    runs_[item].status = {status, reason, std::move(message)};
}

void RecordWork::ended(std::size_t item, bool kept) {
    const RecordStatus& status = runs_[item].status;
    std::string what = download_.records[item].name + ": " + std::string(status_word(status.status));
    if (kept) what += " (kept from an earlier run)";
    if (status.status != Status::ok) what += " (" + std::string(reason_word(status.reason)) + "): " + status.message;
    progress_.finished(status.status == Status::ok, what);
}

std::optional<jobs::Launch> RecordWork::begin(std::size_t item) {
    if (resume_) {
        if (auto kept = finished_run(folder(item), identities_[item])) {
            runs_[item] = std::move(*kept);
            ended(item, true);
            return std::nullopt;
        }
    }
    auto launch = first_launch(item);
    if (!launch) ended(item, false);
    return launch;
}

std::optional<jobs::Launch> RecordWork::first_launch(std::size_t item) {
    const fs::path where = folder(item);
    std::error_code error;
    fs::create_directories(where, error);
    if (error) {
        fail(item, Status::failed, Reason::not_started, where.string() + ": cannot make the folder: " + error.message());
        return std::nullopt;
    }
    for (const char* name : made_files) fs::remove(where / name, error);
    for (int integration = 0; integration < 3; ++integration) {
        const std::string quantity = quantity_of(integration);
        for (const std::string& name : {quantity + ".csv", "amp3-" + quantity + ".csv", "console-" + quantity + ".txt",
                                        "errors-" + quantity + ".txt", "answers-" + quantity + ".txt"})
            fs::remove(where / name, error);
    }
    return launch_of(item, Step::convert);
}

jobs::Launch RecordWork::launch_of(std::size_t item, Step step) {
    const fs::path where = folder(item);
    jobs::Launch launch;
    launch.folder = where;
    steps_[item] = step;
    switch (step) {
        case Step::convert: {
            launch.program = programs_.table;
            launch.errors = where / errors_name(step);
            launch.arguments = {"--taper", number_text(settings_.taper)};
            for (const std::string& option : settings_.conversion_options) launch.arguments.push_back(option);
            launch.arguments.insert(launch.arguments.end(), {"-o", "table.txt"});
            const auto& files = download_.records[item].files;
            const auto one_file = [&](std::size_t file) { return download_.files[file].path == download_.files[files[0]].path; };
            if (files.size() > 1 && std::all_of(files.begin(), files.end(), one_file)) {
                // One file of several channels: its record's channels named in component order.
                std::string channels;
                for (const std::size_t file : files) channels += (channels.empty() ? "" : ",") + download_.files[file].component.name;
                launch.arguments.insert(launch.arguments.end(), {"--channels", channels});
                launch.arguments.push_back(fs::absolute(download_.files[files[0]].path).string());
                break;
            }
            for (const std::size_t file : files)
                launch.arguments.push_back(fs::absolute(download_.files[file].path).string());
            break;
        }
        case Step::acceleration:
        case Step::velocity:
        case Step::displacement: {
            const std::string quantity = quantity_of(static_cast<int>(step) - static_cast<int>(Step::acceleration));
            launch.program = programs_.smwave;
            launch.input = where / ("answers-" + quantity + ".txt");
            launch.output = where / ("console-" + quantity + ".txt");
            launch.errors = where / errors_name(step);
            break;
        }
        case Step::spectra:
        case Step::periods: {
            launch.program = programs_.response;
            launch.errors = where / errors_name(step);
            launch.append_errors = step == Step::periods;
            launch.arguments = {"--rotd", "--damping", number_text(settings_.damping)};
            add_threads(launch.arguments, settings_.threads_per_record);
            if (step == Step::periods) {
                std::string periods;
                for (const double period : settings_.periods) periods += (periods.empty() ? "" : ",") + number_text(period);
                launch.arguments.insert(launch.arguments.end(), {"--periods", periods});
            }
            launch.arguments.insert(launch.arguments.end(),
                                    {"-o", step == Step::periods ? psa_file : "spectra.csv", "acceleration.csv"});
            break;
        }
        case Step::measures:
            launch.program = programs_.measures;
            launch.errors = where / errors_name(step);
            launch.arguments = {"acceleration.csv", "--velocity", "velocity.csv", "--displacement", "displacement.csv",
                                "-o", measures_file};
            add_threads(launch.arguments, settings_.threads_per_record);
            break;
    }
    return launch;
}

// Reads the converted table's metadata line: its interval and units, then writes the three answers.
bool RecordWork::table_converted(std::size_t item) {
    const fs::path where = folder(item);
    std::ifstream in(where / "table.txt");
    std::string header, line;
    std::getline(in, header);
    std::getline(in, line);
    const auto metadata = companion::parse_metadata(line);
    const auto interval = metadata ? metadata->number("dt") : std::nullopt;
    if (!metadata || !interval || !(*interval > 0)) {
        fail(item, Status::failed, Reason::output_unreadable, (where / "table.txt").string() + ": no metadata line with dt");
        return false;
    }
    RecordRun& run = runs_[item];
    run.interval = *interval;
    run.correction = metadata->find("correction").value_or("");
    run.band = band_for(settings_.band, run.interval);
    const std::string units = metadata->find("units").value_or("");
    if (units != "cm/s/s" && units != "gal") {
        fail(item, Status::refused, Reason::not_physical_units,
             "the record is in " + units + ", not cm/s/s: give its response (--inventory) or its units");
        return false;
    }
    for (int integration = 0; integration < 3; ++integration) {
        std::ofstream answers(where / (std::string("answers-") + quantity_of(integration) + ".txt"), std::ios::binary);
        answers << answers_text(run.band, integration);
        if (!answers.flush()) {
            fail(item, Status::failed, Reason::not_started, (where / "answers").string() + ": cannot be written");
            return false;
        }
    }
    return true;
}

bool RecordWork::step_succeeded(std::size_t item, Step step, const jobs::ProcessEnd& end) {
    const fs::path where = folder(item);
    const std::string first_error = first_line_of(where / errors_name(step));
    if (end.interrupted) {
        fail(item, Status::failed, Reason::interrupted, "the event was interrupted");
        return false;
    }
    if (end.timed_out) {
        fail(item, Status::failed, Reason::killed_timeout,
             "still running after the timeout of " + number_text(end.timeout_seconds) + " s");
        return false;
    }
    const bool exited = WIFEXITED(end.wait_status);
    const int code = exited ? WEXITSTATUS(end.wait_status) : -1;
    const auto message = [&](const char* tool) {
        return first_error.empty() ? std::string(tool) + " ended with " + end_text(end.wait_status) : first_error;
    };
    switch (step) {
        case Step::convert:
            if (code == 2) return fail(item, Status::refused, Reason::conversion_refused, message("smwave-table")), false;
            if (code != 0) return fail(item, Status::failed, Reason::conversion_failed, message("smwave-table")), false;
            return table_converted(item);
        case Step::acceleration:
        case Step::velocity:
        case Step::displacement: {
            const std::string quantity = quantity_of(static_cast<int>(step) - static_cast<int>(Step::acceleration));
            if (code == 2) return fail(item, Status::refused, Reason::smwave_refused, message("smwave")), false;
            if (code != 0) {  // a fatal report (status 134, SIGABRT), a signal or another status
                return fail(item, Status::failed, Reason::smwave_aborted, message("smwave")), false;
            }
            if (read_text(where / ("console-" + quantity + ".txt")).find(facts::too_many_rows_line) != std::string::npos) {
                return fail(item, Status::refused, Reason::smwave_refused, companion::too_many_rows_message()),
                       false;
            }
            std::error_code error;
            fs::rename(where / "amp3.csv", where / ("amp3-" + quantity + ".csv"), error);
            if (error || !fs::is_regular_file(where / (quantity + ".csv"))) {
                return fail(item, Status::failed, Reason::smwave_aborted,
                            "smwave ended without writing " + quantity + ".csv and amp3.csv"),
                       false;
            }
            return true;
        }
        case Step::spectra:
        case Step::periods:
            if (code != 0) return fail(item, Status::failed, Reason::response_failed, message("smwave-response")), false;
            return true;
        case Step::measures:
            if (code != 0) return fail(item, Status::failed, Reason::measures_failed, message("smwave-measures")), false;
            return true;
    }
    return false;
}

std::optional<jobs::Launch> RecordWork::next(std::size_t item, const jobs::ProcessEnd& end, bool stopping) {
    auto launch = next_launch(item, end, stopping);
    if (!launch) ended(item, false);
    return launch;
}

std::optional<jobs::Launch> RecordWork::next_launch(std::size_t item, const jobs::ProcessEnd& end, bool stopping) {
    const Step step = steps_[item];
    if (!step_succeeded(item, step, end)) return std::nullopt;
    if (step == Step::measures) {
        runs_[item].finished = true;
        return std::nullopt;
    }
    if (stopping) {
        fail(item, Status::failed, Reason::interrupted, "the event was interrupted");
        return std::nullopt;
    }
    return launch_of(item, static_cast<Step>(static_cast<int>(step) + 1));
}

void RecordWork::not_started(std::size_t item, const companion::Problem& problem) {
    fail(item, Status::failed, Reason::not_started, companion::describe(problem));
    ended(item, false);
}

std::vector<RecordRun> RecordWork::runs(const jobs::PoolEnd& end) {
    for (std::size_t item = 0; item < end.begun; ++item) mark_finished(folder(item), identities_[item], runs_[item]);
    for (std::size_t item = end.begun; item < runs_.size(); ++item)
        fail(item, Status::failed, Reason::interrupted, "the event was interrupted before the record started");
    return std::move(runs_);
}

}  // namespace smwave::event
