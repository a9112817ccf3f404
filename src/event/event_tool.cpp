#include "event/event_tool.hpp"

#include <unistd.h>

#include <algorithm>

#include "companion/cores.hpp"
#include "companion/interrupt.hpp"
#include "companion/messages.hpp"
#include "companion/output_file.hpp"
#include "event/flatfile.hpp"
#include "event/folder_lock.hpp"
#include "event/origin.hpp"
#include "event/quakeml.hpp"
#include "event/scan.hpp"
#include "jobs/locate.hpp"
#include "jobs/pool.hpp"
#include "jobs/progress.hpp"
#include "table/inventory.hpp"

namespace smwave::event {

namespace fs = std::filesystem;
using companion::Problem;
using companion::Result;

namespace {

// The suite's programs a record needs, each beside smwave-event or on PATH.
Result<Programs> find_programs() {
    Programs programs;
    const std::pair<const char*, fs::path*> wanted[] = {{"smwave-table", &programs.table},
                                                        {"smwave", &programs.smwave},
                                                        {"smwave-response", &programs.response},
                                                        {"smwave-measures", &programs.measures}};
    for (const auto& [name, program] : wanted) {
        auto found = jobs::find_needed_program(name, "smwave-event", "");
        if (!found) return found.problem();
        *program = std::move(*found);
    }
    return programs;
}

companion::Status write_file(const fs::path& file, const std::string& text) {
    auto out = companion::OutputFile::open(file);
    if (!out) return out.problem();
    out->write(text);
    return out->commit();
}

std::string shard_file_name(std::size_t number, std::size_t count) {
    return "flatfile-" + std::to_string(number) + "-of-" + std::to_string(count) + ".csv";
}

}  // namespace

std::vector<double> default_periods() {
    return {0.01, 0.02, 0.03, 0.05, 0.075, 0.1, 0.15, 0.2, 0.25, 0.3, 0.4,
            0.5,  0.75, 1,    1.5,  2,     3,   4,    5,   7.5,  10};
}

std::vector<double> nga_west2_periods() {
    return {0.01,  0.02, 0.022, 0.025, 0.029, 0.03,  0.032, 0.035, 0.036, 0.04,  0.042, 0.044, 0.045, 0.046,
            0.048, 0.05, 0.055, 0.06,  0.065, 0.067, 0.07,  0.075, 0.08,  0.085, 0.09,  0.095, 0.1,   0.11,
            0.12,  0.13, 0.133, 0.14,  0.15,  0.16,  0.17,  0.18,  0.19,  0.2,   0.22,  0.24,  0.25,  0.26,
            0.28,  0.29, 0.3,   0.32,  0.34,  0.35,  0.36,  0.38,  0.4,   0.42,  0.44,  0.45,  0.46,  0.48,
            0.5,   0.55, 0.6,   0.65,  0.667, 0.7,   0.75,  0.8,   0.85,  0.9,   0.95,  1,     1.1,   1.2,
            1.3,   1.4,  1.5,   1.6,   1.7,   1.8,   1.9,   2,     2.2,   2.4,   2.5,   2.6,   2.8,   3,
            3.2,   3.4,  3.5,   3.6,   3.8,   4,     4.2,   4.4,   4.6,   4.8,   5,     5.5,   6,     6.5,
            7,     7.5,  8,     8.5,   9,     9.5,   10,    11,    12,    13,    14,    15,    20};
}

Result<int> run_event(const EventOptions& options) {
    std::optional<EventOrigin> origin;
    if (!options.origin.empty()) {
        auto given = parse_origin(options.origin);
        if (!given) return given.problem();
        origin = *given;
    } else if (!options.event.empty()) {
        auto read = read_quakeml(options.event);
        if (!read) return read.problem();
        origin = *read;
    }
    auto files = scan_download(options.download, options.out);
    if (!files) return files.problem();
    Download download = group_records(std::move(*files));
    if (!origin) {
        auto stated = origin_of_records(download);
        if (!stated) return stated.problem();
        origin = *stated;
    }
    const auto programs = find_programs();
    if (!programs) return programs.problem();

    std::error_code error;
    fs::create_directories(options.out, error);
    if (error || !fs::is_directory(options.out))
        return Problem{options.out.string(), 0,
                       "cannot make the event folder" + (error ? ": " + error.message() : "")};
    auto lock = FolderLock::take(options.out, options.shard);
    if (!lock) return lock.problem();
    std::vector<fs::path> inputs;
    for (const ScannedFile& file : download.files) inputs.emplace_back(file.path);
    for (const char* name : {"inputs.csv", "flatfile.csv", "flatfile-columns.csv"}) {
        if (auto problem = companion::refuse_overwriting_inputs(options.out / name, inputs)) return *problem;
    }
    if (auto problem = write_file(options.out / "inputs.csv", inputs_text(download.inputs))) return *problem;
    if (options.shard) {
        std::vector<EventRecord> shared;
        for (std::size_t at = 0; at < download.records.size(); ++at) {
            if (options.shard->holds(at)) shared.push_back(download.records[at]);
        }
        download.records = std::move(shared);
    }

    ProcessingSettings processing = options.processing;
    // StationXML files of the download give the conversions their responses unless --inventory is given.
    const bool inventory_given =
        std::find(processing.conversion_options.begin(), processing.conversion_options.end(),
                  "--inventory") != processing.conversion_options.end();
    if (!inventory_given && download.inventories.size() == 1) {
        processing.conversion_options.push_back("--inventory");
        processing.conversion_options.push_back(fs::absolute(download.inventories[0]).string());
    }
    // The inventory also places the stations whose files state no coordinates (miniSEED); one that
    // cannot be read is reported by each conversion.
    const auto inventory_option =
        std::find(processing.conversion_options.begin(), processing.conversion_options.end(), "--inventory");
    if (inventory_option != processing.conversion_options.end() &&
        inventory_option + 1 != processing.conversion_options.end()) {
        if (auto inventory = table::Inventory::load(*(inventory_option + 1)))
            place_from_inventory(download, *inventory);
    }
    // The jobs are the cores the event keeps busy: a record's programs run on one thread, or on the
    // jobs' share when there are fewer records than jobs.
    const std::size_t jobs = options.jobs > 0 ? options.jobs : companion::usable_cores();
    const std::size_t at_once = std::max<std::size_t>(1, std::min(jobs, download.records.size()));
    processing.threads_per_record = static_cast<unsigned>(std::max<std::size_t>(1, jobs / at_once));
    jobs::Progress progress("smwave-event", download.records.size(), ::isatty(STDERR_FILENO) == 1);
    RecordWork work(download, options.out, *programs, processing, options.resume, progress);
    const jobs::PoolEnd end = jobs::run_pool({download.records.size(), jobs, options.timeout_seconds}, work);
    std::vector<RecordRun> runs = work.runs(end);
    progress.clear();

    std::vector<FlatfileRow> rows;
    std::size_t not_ok = 0;
    for (std::size_t at = 0; at < download.records.size(); ++at) {
        rows.push_back(
            record_row(download, at, origin, runs[at], options.out / download.records[at].name, processing));
        if (rows.back()["status"] != status_word(Status::ok)) ++not_ok;
    }
    const auto columns = flatfile_columns(processing.periods);
    if (auto problem = write_file(options.out / "flatfile-columns.csv", columns_text(columns)))
        return *problem;
    const fs::path flatfile =
        options.out / (options.shard ? shard_file_name(options.shard->number, options.shard->count)
                                     : std::string("flatfile.csv"));
    if (auto problem = write_file(flatfile, flatfile_text(columns, std::move(rows)))) return *problem;
    companion::warn(std::to_string(download.records.size()) +
                    " records: " + std::to_string(download.records.size() - not_ok) + " ok, " +
                    std::to_string(not_ok) + " not ok");
    if (end.interrupted) return companion::interrupted_status;
    return not_ok == 0 ? 0 : 1;
}

Result<int> merge_event(const fs::path& folder) {
    // The shard count from any shard's name, then every shard of that count.
    std::optional<std::size_t> count;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        const std::size_t of = name.find("-of-");
        if (!name.starts_with("flatfile-") || of == std::string::npos || !name.ends_with(".csv")) continue;
        const auto shard =
            jobs::parse_shard(name.substr(9, of - 9) + "/" + name.substr(of + 4, name.size() - of - 8));
        if (!shard) continue;
        if (count && *count != shard->count)
            return Problem{folder.string(), 0, "holds flatfiles of shards of different counts"};
        count = shard->count;
    }
    if (error) return Problem{folder.string(), 0, "cannot be read: " + error.message()};
    auto lock = FolderLock::take(folder);
    if (!lock) return lock.problem();
    if (!count) return Problem{folder.string(), 0, "holds no shard's flatfile (flatfile-K-of-N.csv)"};
    std::vector<FlatfileColumn> columns;
    std::vector<FlatfileRow> rows;
    for (std::size_t number = 0; number < *count; ++number) {
        const fs::path file = folder / shard_file_name(number, *count);
        if (!fs::exists(file)) return Problem{file.string(), 0, "is missing: every shard must have run"};
        auto read = read_flatfile(file);
        if (!read) return read.problem();
        if (number == 0) columns = read->first;
        const auto names = [](const std::vector<FlatfileColumn>& c) {
            std::vector<std::string> n;
            for (const auto& column : c) n.push_back(column.name);
            return n;
        };
        if (names(read->first) != names(columns))
            return Problem{file.string(), 1, "has other columns than " + shard_file_name(0, *count)};
        for (auto& row : read->second) rows.push_back(std::move(row));
    }
    std::size_t not_ok = 0;
    for (auto& row : rows) {
        if (row["status"] != status_word(Status::ok)) ++not_ok;
    }
    const std::size_t records = rows.size();
    if (auto problem = write_file(folder / "flatfile.csv", flatfile_text(columns, std::move(rows))))
        return *problem;
    companion::warn(std::to_string(records) + " records merged into " + (folder / "flatfile.csv").string() +
                    ": " + std::to_string(records - not_ok) + " ok, " + std::to_string(not_ok) + " not ok");
    return not_ok == 0 ? 0 : 1;
}

}  // namespace smwave::event
