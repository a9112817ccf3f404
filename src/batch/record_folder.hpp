#pragma once
// A record's folder: made before its run, holding the answers, the table under a short name, and,
// once the record has finished, its summary row (the marker that --resume trusts).
#include <filesystem>
#include <optional>
#include <string>

#include "batch/summary.hpp"
#include "companion/problem.hpp"

namespace smwave::batch {

// Makes the folder, removes an earlier finished marker, writes `answers` to answers.txt and reaches
// `table` under the short name (a symbolic link, or a copy where links fail).
companion::Status prepare_record_folder(const std::filesystem::path& folder,
                                        const std::filesystem::path& table, const std::string& answers);

// The row of an earlier run of this record that finished with the same answers and table, and with
// `columns` fields; nothing when the record must run again.
std::optional<Row> finished_row(const std::filesystem::path& folder, const std::string& answers,
                                const std::string& table, std::size_t columns);

// Records that the record has finished with `row` when smwave gave its verdict on the table (ok or
// refused). Records that failed, were killed or were interrupted keep no marker and run again on
// --resume.
companion::Status mark_finished(const std::filesystem::path& folder, const Row& row);

}  // namespace smwave::batch
