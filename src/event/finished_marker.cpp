#include "event/finished_marker.hpp"

#include <fstream>
#include <sstream>

#include "companion/number_text.hpp"
#include "companion/output_file.hpp"

namespace smwave::event {

namespace fs = std::filesystem;

namespace {

constexpr const char* marker_name = "finished.txt";

std::string number_text(double value) {
    std::string text;
    companion::append_shortest(text, value);
    return text;
}

bool has_verdict(const RecordRun& run) {
    return (run.status.status == Status::ok && run.finished) || run.status.status == Status::refused;
}

}  // namespace

std::string record_identity(const Download& download, std::size_t record, const ProcessingSettings& settings) {
    std::string identity = "band";
    for (const double corner : settings.band) identity += " " + number_text(corner);
    identity += " taper " + number_text(settings.taper) + " damping " + number_text(settings.damping) + " periods";
    for (const double period : settings.periods) identity += " " + number_text(period);
    for (const std::string& option : settings.conversion_options) identity += " " + option;
    for (const std::size_t file : download.records[record].files) {
        const std::string& path = download.files[file].path;
        std::error_code error;
        const auto size = fs::file_size(path, error);
        // The tick count as a 64-bit integer: libc++ counts file times in a 128-bit type.
        const auto time = static_cast<long long>(fs::last_write_time(path, error).time_since_epoch().count());
        identity += " | " + fs::absolute(path).string() + " " + std::to_string(size) + " " + std::to_string(time);
    }
    for (char& c : identity) {
        if (c == '\n' || c == '\r') c = '?';
    }
    return identity;
}

std::optional<RecordRun> finished_run(const fs::path& folder, const std::string& identity) {
    std::ifstream in(folder / marker_name);
    std::string line, status, reason, message, interval, correction, corners;
    if (!std::getline(in, line) || line != identity) return std::nullopt;
    if (!std::getline(in, status) || !std::getline(in, reason) || !std::getline(in, message) ||
        !std::getline(in, interval) || !std::getline(in, correction) || !std::getline(in, corners))
        return std::nullopt;
    RecordRun run;
    const auto status_value = status_named(status);
    const auto reason_value = reason_named(reason);
    const auto interval_value = companion::parse_number(interval);
    if (!status_value || !reason_value || !interval_value) return std::nullopt;
    run.status = {*status_value, *reason_value, message};
    run.interval = *interval_value;
    run.correction = correction;
    std::istringstream words(corners);
    for (double& corner : run.band) {
        std::string word;
        words >> word;
        const auto value = companion::parse_number(word);
        if (!value) return std::nullopt;
        corner = *value;
    }
    run.finished = run.status.status == Status::ok;
    if (!has_verdict(run)) return std::nullopt;
    return run;
}

void mark_finished(const fs::path& folder, const std::string& identity, const RecordRun& run) {
    std::error_code error;
    if (!has_verdict(run)) {
        fs::remove(folder / marker_name, error);
        return;
    }
    auto out = companion::OutputFile::open(folder / marker_name);
    if (!out) return;  // without a marker the record simply runs again on --resume
    std::string corners;
    for (const double corner : run.band) corners += (corners.empty() ? "" : " ") + number_text(corner);
    std::string message = run.status.message;
    for (char& c : message) {
        if (c == '\n' || c == '\r') c = '?';
    }
    out->write(identity + "\n" + std::string(status_word(run.status.status)) + "\n" +
               std::string(reason_word(run.status.reason)) + "\n" + message + "\n" + number_text(run.interval) +
               "\n" + run.correction + "\n" + corners + "\n");
    (void)out->commit();
}

}  // namespace smwave::event
