#include "batch/records.hpp"

#include <algorithm>
#include <charconv>
#include <set>

namespace smwave::batch {

namespace fs = std::filesystem;
using companion::Problem;
using companion::Result;

namespace {

// Names no record may take: the summaries and the folder entries that start with a dot.
bool is_reserved(const std::string& name) {
    return name.empty() || name.front() == '.' || (name.starts_with("summary") && name.ends_with(".csv"));
}

std::string base_name(const fs::path& table) {
    std::string name = table.stem().string();
    if (is_reserved(name)) name = "record-" + name;
    return name;
}

companion::Status add_folder(const fs::path& folder, std::vector<fs::path>& tables) {
    std::vector<fs::path> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().filename().string().starts_with('.')) continue;
        if (entry.is_regular_file(error)) found.push_back(entry.path());
    }
    if (error) return Problem{folder.string(), 0, "cannot list the folder: " + error.message()};
    if (found.empty()) return Problem{folder.string(), 0, "the folder holds no tables"};
    std::sort(found.begin(), found.end());
    tables.insert(tables.end(), found.begin(), found.end());
    return std::nullopt;
}

}  // namespace

Result<std::vector<Record>> list_records(const std::vector<std::string>& arguments) {
    std::vector<fs::path> tables;
    for (const std::string& argument : arguments) {
        std::error_code error;
        const fs::file_status status = fs::status(argument, error);
        if (fs::is_directory(status)) {
            if (auto problem = add_folder(argument, tables)) return *problem;
        } else if (fs::is_regular_file(status)) {
            tables.emplace_back(argument);
        } else if (!fs::exists(status)) {
            return Problem{argument, 0, "no such table or folder"};
        } else {
            return Problem{argument, 0,
                           "is not a regular file: smwave reads each table by name, once per record"};
        }
    }
    if (tables.empty()) return Problem{"", 0, "no tables given"};

    std::vector<Record> records;
    std::set<std::string> taken;
    for (const fs::path& table : tables) {
        const std::string base = base_name(table);
        std::string name = base;
        for (int repeat = 2; !taken.insert(name).second; ++repeat) name = base + "-" + std::to_string(repeat);
        records.push_back({records.size(), name, table});
    }
    return records;
}

std::vector<Record> select_shard(const std::vector<Record>& records, Shard shard) {
    std::vector<Record> selected;
    for (std::size_t at = shard.number; at < records.size(); at += shard.count)
        selected.push_back(records[at]);
    return selected;
}

}  // namespace smwave::batch
