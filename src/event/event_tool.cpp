#include "event/event_tool.hpp"

#include <unistd.h>

#include <algorithm>

#include "companion/messages.hpp"
#include "companion/output_file.hpp"
#include "event/flatfile.hpp"
#include "event/folder_lock.hpp"
#include "event/origin.hpp"
#include "event/quakeml.hpp"
#include "event/scan.hpp"
#include "jobs/locate.hpp"
#include "jobs/pool.hpp"

namespace smwave::event {

namespace fs = std::filesystem;
using companion::Problem;
using companion::refuse;

namespace {

constexpr int interrupted_status = 130;

fs::path program_or_refuse(std::string_view name) {
    auto found = jobs::find_needed_program(name, "smwave-event", "");
    if (!found) refuse(found.problem());
    return *found;
}

void write_file(const fs::path& file, const std::string& text) {
    auto out = companion::OutputFile::open(file);
    if (!out) refuse(out.problem());
    out->write(text);
    if (auto problem = out->commit()) refuse(*problem);
}

std::string shard_file_name(std::size_t number, std::size_t count) {
    return "flatfile-" + std::to_string(number) + "-of-" + std::to_string(count) + ".csv";
}

std::size_t default_jobs() {
    const long cores = ::sysconf(_SC_NPROCESSORS_ONLN);
    return cores > 0 ? static_cast<std::size_t>(cores) : 1;
}

}  // namespace

std::vector<double> default_periods() {
    return {0.01, 0.02, 0.03, 0.05, 0.075, 0.1, 0.15, 0.2, 0.25, 0.3, 0.4,
            0.5,  0.75, 1,    1.5,  2,     3,   4,    5,   7.5,  10};
}

int run_event(const EventOptions& options) {
    std::optional<EventOrigin> origin;
    if (!options.origin.empty()) {
        auto given = parse_origin(options.origin);
        if (!given) refuse(given.problem());
        origin = *given;
    } else if (!options.event.empty()) {
        auto read = read_quakeml(options.event);
        if (!read) refuse(read.problem());
        origin = *read;
    }
    auto files = scan_download(options.download, options.out);
    if (!files) refuse(files.problem());
    Download download = group_records(std::move(*files));
    if (!origin) {
        auto stated = origin_of_records(download);
        if (!stated) refuse(stated.problem());
        origin = *stated;
    }
    Programs programs{program_or_refuse("smwave-table"), program_or_refuse("smwave"),
                      program_or_refuse("smwave-response"), program_or_refuse("smwave-measures")};

    std::error_code error;
    fs::create_directories(options.out, error);
    if (error || !fs::is_directory(options.out))
        refuse(Problem{options.out.string(), 0, "cannot make the event folder" + (error ? ": " + error.message() : "")});
    auto lock = FolderLock::take(options.out);
    if (!lock) refuse(lock.problem());
    std::vector<fs::path> inputs;
    for (const ScannedFile& file : download.files) inputs.emplace_back(file.path);
    for (const char* name : {"inputs.csv", "flatfile.csv", "flatfile-columns.csv"}) {
        if (auto problem = companion::refuse_overwriting_inputs(options.out / name, inputs)) refuse(*problem);
    }
    write_file(options.out / "inputs.csv", inputs_text(download.inputs));
    if (options.shard) {
        std::vector<EventRecord> shared;
        for (std::size_t at = 0; at < download.records.size(); ++at) {
            if (options.shard->holds(at)) shared.push_back(download.records[at]);
        }
        download.records = std::move(shared);
    }

    ProcessingSettings processing = options.processing;
    // StationXML files of the download give the conversions their responses unless --inventory is given.
    const bool inventory_given = std::find(processing.conversion_options.begin(), processing.conversion_options.end(),
                                           "--inventory") != processing.conversion_options.end();
    if (!inventory_given && download.inventories.size() == 1) {
        processing.conversion_options.push_back("--inventory");
        processing.conversion_options.push_back(fs::absolute(download.inventories[0]).string());
    }
    RecordWork work(download, options.out, programs, processing, options.resume);
    const jobs::PoolEnd end = jobs::run_pool(
        {download.records.size(), options.jobs > 0 ? options.jobs : default_jobs(), options.timeout_seconds}, work);
    std::vector<RecordRun> runs = work.runs(end);

    std::vector<FlatfileRow> rows;
    std::size_t not_ok = 0;
    for (std::size_t at = 0; at < download.records.size(); ++at) {
        rows.push_back(record_row(download, at, origin, runs[at], options.out / download.records[at].name, processing));
        if (rows.back()["status"] != status_word(Status::ok)) ++not_ok;
    }
    const auto columns = flatfile_columns(processing.periods);
    write_file(options.out / "flatfile-columns.csv", columns_text(columns));
    write_file(options.out / (options.shard ? shard_file_name(options.shard->number, options.shard->count)
                                             : std::string("flatfile.csv")),
               flatfile_text(columns, std::move(rows)));
    companion::warn(std::to_string(download.records.size()) + " records: " +
                    std::to_string(download.records.size() - not_ok) + " ok, " + std::to_string(not_ok) + " not ok");
    if (end.interrupted) return interrupted_status;
    return not_ok == 0 ? 0 : 1;
}

int merge_event(const fs::path& folder) {
    // The shard count from any shard's name, then every shard of that count.
    std::optional<std::size_t> count;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        const std::size_t of = name.find("-of-");
        if (!name.starts_with("flatfile-") || of == std::string::npos || !name.ends_with(".csv")) continue;
        const auto shard = jobs::parse_shard(name.substr(9, of - 9) + "/" + name.substr(of + 4, name.size() - of - 8));
        if (!shard) continue;
        if (count && *count != shard->count)
            refuse(Problem{folder.string(), 0, "holds flatfiles of shards of different counts"});
        count = shard->count;
    }
    if (error) refuse(Problem{folder.string(), 0, "cannot be read: " + error.message()});
    auto lock = FolderLock::take(folder);
    if (!lock) refuse(lock.problem());
    if (!count) refuse(Problem{folder.string(), 0, "holds no shard's flatfile (flatfile-K-of-N.csv)"});
    std::vector<FlatfileColumn> columns;
    std::vector<FlatfileRow> rows;
    for (std::size_t number = 0; number < *count; ++number) {
        const fs::path file = folder / shard_file_name(number, *count);
        if (!fs::exists(file)) refuse(Problem{file.string(), 0, "is missing: every shard must have run"});
        auto read = read_flatfile(file);
        if (!read) refuse(read.problem());
        if (number == 0) columns = read->first;
        const auto names = [](const std::vector<FlatfileColumn>& c) {
            std::vector<std::string> n;
            for (const auto& column : c) n.push_back(column.name);
            return n;
        };
        if (names(read->first) != names(columns))
            refuse(Problem{file.string(), 1, "has other columns than " + shard_file_name(0, *count)});
        for (auto& row : read->second) rows.push_back(std::move(row));
    }
    std::size_t not_ok = 0;
    for (auto& row : rows) {
        if (row["status"] != status_word(Status::ok)) ++not_ok;
    }
    const std::size_t records = rows.size();
    write_file(folder / "flatfile.csv", flatfile_text(columns, std::move(rows)));
    companion::warn(std::to_string(records) + " records merged into " + (folder / "flatfile.csv").string() + ": " +
                    std::to_string(records - not_ok) + " ok, " + std::to_string(not_ok) + " not ok");
    return not_ok == 0 ? 0 : 1;
}

}  // namespace smwave::event
