#pragma once
// What a record's run leaves, turned into its summary row: the way the process ended, the console's
// row count, interval and transform length, the waveform file's peaks, the response spectra's PSA.
#include <filesystem>
#include <string>

#include "batch/summary.hpp"
#include "jobs/pool.hpp"

namespace smwave::batch {

// How a process ended, as waitpid gives it, and what the pool did to it.
using ProcessEnd = jobs::ProcessEnd;

// The signal's name ("SIGKILL"), or "signal N" for one without a common name.
std::string signal_name(int signal_number);

// Fills status, exit_status and message of `row` from the end of smwave's run and the first line of
// its errors.txt.
void classify_run(const ProcessEnd& end, const std::string& first_error_line, Row& row);

// The first line of a file from byte `from` on (empty when there is none), at most 512 characters.
std::string first_line_of(const std::filesystem::path& file, std::size_t from = 0);

// Fills rows, dt and nf from smwave's console lines "NT and DT=" and " IF1,NF="; marks the run refused
// when the console shows the over-length stop, which ends with status 0 but writes no waveform file.
void read_console(const std::filesystem::path& console, Row& row);

// Fills the peak columns from the waveform file, and its path and the spectrum's; marks the run
// failed when the waveform file is missing or unreadable.
void read_waveform(const std::filesystem::path& folder, const std::string& shown_folder,
                   const std::string& waveform_name, Row& row);

// Fills the nine PSA columns from the response file of periods 0.3, 1 and 3 s.
void read_response(const std::filesystem::path& response, Row& row);

// Marks a record whose figures or response spectra could not be made: the tool, its end, its message.
void mark_step_failed(const std::string& tool, const ProcessEnd& end, const std::string& first_error_line,
                      Row& row);

// The table's header words 2 to 4 as "EW,NS,UD", or "" when the first line has fewer than four words.
std::string component_labels(const std::filesystem::path& table);

}  // namespace smwave::batch
