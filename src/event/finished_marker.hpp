#pragma once
// A record's finished marker, DIR/<record>/finished.txt: what the record was made from (its files
// with their sizes and modification times, and the processing settings) and its result. --resume keeps
// a record whose marker matches; only records with a verdict on their data (ok or refused) get one, so
// those that failed, were killed or were interrupted run again.
#include <filesystem>
#include <optional>
#include <string>

#include "event/record_work.hpp"
#include "event/scan.hpp"

namespace smwave::event {

// The text that identifies the record's inputs and settings.
std::string record_identity(const Download& download, std::size_t record, const ProcessingSettings& settings);

// The run kept in `folder`'s marker when its identity is `identity`; nothing otherwise.
std::optional<RecordRun> finished_run(const std::filesystem::path& folder, const std::string& identity);

// Writes the marker of a record whose run has a verdict; removes any marker of one that has none.
void mark_finished(const std::filesystem::path& folder, const std::string& identity, const RecordRun& run);

}  // namespace smwave::event
