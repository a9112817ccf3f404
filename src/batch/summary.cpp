#include "batch/summary.hpp"

#include <charconv>
#include <map>

#include "companion/output_file.hpp"
#include "companion/suite_file.hpp"

namespace smwave::batch {

namespace fs = std::filesystem;
using companion::Problem;
using companion::Result;

std::vector<std::string> summary_header(std::size_t columns) {
    std::vector<std::string> header{"name",  "table", "status",   "exit_status", "message", "rows",
                                    "dt",    "nf",    "peak1",    "time1",       "peak2",   "time2",
                                    "peak3", "time3", "waveform", "spectrum"};
    if (columns == response_columns || columns == measures_columns) {
        for (const char* period : {"0.3", "1.0", "3.0"}) {
            for (const char* component : {"1", "2", "3"}) {
                header.push_back(std::string("psa") + period + "_" + component);
            }
        }
    }
    if (columns == measures_columns) {
        for (const char* period : {"0.3", "1.0", "3.0"})
            header.push_back(std::string("psa") + period + "_rotd50");
        for (const MeasureColumn& column : measure_columns) header.emplace_back(column.name);
    }
    return header;
}

Row empty_row(std::size_t columns, const std::string& name, const std::string& table) {
    Row row(columns);
    row[name_column] = name;
    row[table_column] = table;
    return row;
}

namespace {

bool needs_quotes(std::string_view field) {
    return field.find_first_of(",\" \t\r\n") != std::string_view::npos;
}

void append_field(std::string& line, std::string_view field) {
    if (!needs_quotes(field)) {
        line.append(field);
        return;
    }
    line += '"';
    for (const char c : field) {
        if (c == '"') line += '"';
        line += c;
    }
    line += '"';
}

}  // namespace

std::string csv_line(const Row& row) {
    std::string line;
    for (std::size_t at = 0; at < row.size(); ++at) {
        if (at > 0) line += ',';
        append_field(line, row[at]);
    }
    line += '\n';
    return line;
}

Result<std::vector<Row>> parse_csv(std::string_view text, const std::string& name) {
    std::vector<Row> rows;
    Row row;
    std::string field;
    std::uint64_t line = 1;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == '"') {
            const std::uint64_t opened = line;
            for (++at;; ++at) {
                if (at >= text.size()) return Problem{name, opened, "a quoted field is never closed"};
                if (text[at] == '"') {
                    if (at + 1 < text.size() && text[at + 1] == '"') {
                        field += '"';
                        ++at;
                        continue;
                    }
                    ++at;
                    break;
                }
                if (text[at] == '\n') ++line;
                field += text[at];
            }
            if (at < text.size() && text[at] != ',' && text[at] != '\n' && text[at] != '\r') {
                return Problem{name, line, "text follows a closing quote"};
            }
            continue;
        }
        const char c = text[at++];
        if (c == ',') {
            row.push_back(std::move(field));
            field.clear();
        } else if (c == '\n') {
            row.push_back(std::move(field));
            field.clear();
            rows.push_back(std::move(row));
            row.clear();
            ++line;
        } else if (c != '\r' || (at < text.size() && text[at] != '\n')) {
            field += c;
        }
    }
    if (!field.empty() || !row.empty()) {
        row.push_back(std::move(field));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string summary_text(const std::vector<Row>& rows, std::size_t columns) {
    std::string text = csv_line(summary_header(columns));
    for (const Row& row : rows) text += csv_line(row);
    return text;
}

Result<std::vector<Row>> read_summary(const fs::path& file, std::size_t& columns) {
    auto text = companion::read_whole_file(file);
    if (!text) return text.problem();
    auto rows = parse_csv(*text, file.string());
    if (!rows) return rows.problem();
    if (rows->empty()) return Problem{file.string(), 1, "the summary is empty"};
    columns = rows->front().size();
    if ((columns != plain_columns && columns != response_columns && columns != measures_columns) ||
        rows->front() != summary_header(columns)) {
        return Problem{file.string(), 1, "this is no summary of smwave-batch: its header differs"};
    }
    rows->erase(rows->begin());
    for (std::size_t at = 0; at < rows->size(); ++at) {
        if ((*rows)[at].size() != columns) {
            return Problem{file.string(), at + 2,
                           "the row has " + std::to_string((*rows)[at].size()) + " fields, not " +
                               std::to_string(columns)};
        }
    }
    return rows;
}

std::string summary_file_name(std::size_t shard, std::size_t shards) {
    if (shards == 1) return "summary.csv";
    return "summary-" + std::to_string(shard) + "-of-" + std::to_string(shards) + ".csv";
}

namespace {

// The shard summaries in `folder`, by shard count and then shard number.
std::map<std::size_t, std::map<std::size_t, fs::path>> find_shard_summaries(const fs::path& folder) {
    std::map<std::size_t, std::map<std::size_t, fs::path>> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string file = entry.path().filename().string();
        if (!file.starts_with("summary-") || !file.ends_with(".csv")) continue;
        std::size_t shard = 0, shards = 0;
        const char* first = file.data() + 8;
        const char* last = file.data() + file.size() - 4;
        auto [of, error_k] = std::from_chars(first, last, shard);
        if (error_k != std::errc{} ||
            std::string_view(of, static_cast<std::size_t>(last - of)).substr(0, 4) != "-of-") {
            continue;
        }
        auto [end, error_n] = std::from_chars(of + 4, last, shards);
        if (error_n != std::errc{} || end != last || shard >= shards) continue;
        found[shards][shard] = entry.path();
    }
    return found;
}

}  // namespace

companion::Status merge_shards(const fs::path& folder, std::size_t& records, std::size_t& not_ok) {
    const auto found = find_shard_summaries(folder);
    const std::string where = folder.string();
    if (found.empty()) return Problem{where, 0, "no shard summaries (summary-K-of-N.csv) in the folder"};
    if (found.size() > 1) {
        return Problem{where, 0,
                       "the folder holds shard summaries of different shard counts; keep one batch's"};
    }
    const std::size_t shards = found.begin()->first;
    const auto& paths = found.begin()->second;
    std::string missing;
    for (std::size_t shard = 0; shard < shards; ++shard) {
        if (paths.count(shard) == 0)
            missing += (missing.empty() ? "" : ", ") + summary_file_name(shard, shards);
    }
    if (!missing.empty()) return Problem{where, 0, "missing shard summaries: " + missing};

    std::vector<std::vector<Row>> parts;
    std::size_t columns = 0;
    records = 0;
    for (const auto& [shard, path] : paths) {
        std::size_t part_columns = 0;
        auto rows = read_summary(path, part_columns);
        if (!rows) return rows.problem();
        if (shard > 0 && part_columns != columns) {
            return Problem{path.string(), 1,
                           "its columns differ from those of " + summary_file_name(0, shards)};
        }
        columns = part_columns;
        records += rows->size();
        parts.push_back(std::move(*rows));
    }
    for (std::size_t shard = 0; shard < shards; ++shard) {
        const std::size_t expected = records > shard ? (records - shard + shards - 1) / shards : 0;
        if (parts[shard].size() != expected) {
            return Problem{paths.at(shard).string(), 0,
                           "holds " + std::to_string(parts[shard].size()) + " records where a batch of " +
                               std::to_string(records) + " gives it " + std::to_string(expected) +
                               "; are the shards of one batch?"};
        }
    }
    std::vector<Row> merged;
    not_ok = 0;
    for (std::size_t at = 0; at < records; ++at) {
        merged.push_back(std::move(parts[at % shards][at / shards]));
        if (merged.back()[status_column] != "ok") ++not_ok;
    }
    auto out = companion::OutputFile::open(folder / "summary.csv");
    if (!out) return out.problem();
    out->write(summary_text(merged, columns));
    return out->commit();
}

}  // namespace smwave::batch
