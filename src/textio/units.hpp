#pragma once
// Numbered units, file connections, statement starts, failure reports and the ends of a run.
//
// Every record read or written goes through a unit 0..99. Units 0, 5 and 6 are the console streams;
// others are connected by `open_unit`, or on their first write to the file "fort.NN". Every failure
// that reaches `fatal_io` ends the run with the report on standard error.
#include <cstddef>
#include <string_view>

#include "textio/stream.hpp"

namespace smwave {

inline constexpr int unit_count = 100;
inline constexpr int unit_stderr = 0;
inline constexpr int unit_stdin = 5;
inline constexpr int unit_stdout = 6;

// Failure codes besides system error numbers 0..99.
inline constexpr int code_eof = -1;
inline constexpr int err_null_name = 107;
inline constexpr int err_truncation = 111;
inline constexpr int err_list_input = 112;
inline constexpr int err_no_space = 113;
inline constexpr int err_unexpected_char = 115;
inline constexpr int err_formatted_io = 102;
inline constexpr int err_cannot_read = 126;
inline constexpr int err_cannot_write = 127;

enum class Statement { free_read, free_write, fixed_read, edit_write };

// One unit record: a stream when connected, and the state that reads and writes consult.
struct Unit {
    Stream stream;
    char* name = nullptr;  // owned copy of the connection name; null for the console units
    bool seekable = false;
    int access = 3;  // 1 may read, 2 may write
    bool at_eof = false;
    bool last_was_write = false;
    bool connected() const { return stream.attached(); }
};

// The unit record of `number` (0..99).
Unit& unit(int number);

// Start-up: signal reports, console units, end-of-run close at exit. Arguments are kept and not used.
void start_up(int argc, char** argv);

// Connects `unit` to the file named by the first `length` characters of `name`, trailing blanks
// removed; tries update, then read-only, then create. Every failure is fatal.
void open_unit(int unit, std::string_view name);
// Disconnects `unit`, cutting a written file at its last byte written. Every failure is fatal.
void close_unit(int unit);

// Prepares `unit` for a statement of `kind` and records the statement context. Returns 0 to go on,
// or -1 for an end of file handed back to a read with an end branch; other failures are fatal.
// `format` is the format text of a fixed-format read or edit-format record.
int statement_start(Statement kind, int unit, bool end_branch, std::string_view format = {});
// Ends the statement in progress.
void statement_end(Statement kind);

// Hands one finished line of the record in progress to `unit`, followed by a line end. A file that
// refuses the bytes ends the run with the fatal report (context "write").
void hand_line(int unit, const char* text, std::size_t n);

// Hands failure `code` with `context` back (-1 returned) when it is an end of file and the read has
// an end branch; every other failure ends the run with the fatal report.
int dispatch_failure(int code, const char* context, bool end_branch);
// Writes the fatal I/O report for `code` and `context`, closes every unit and aborts.
[[noreturn]] void fatal_io(int code, const char* context);

// The normal end: nothing printed, every unit written out and closed, exit status 0.
[[noreturn]] void stop_run();
// Ends the run for a refused answer or table: `message` and a line end on standard error, every unit
// closed, exit status 2.
[[noreturn]] void refuse_run(std::string_view message);

// Disconnects every unit, ignoring failures; runs once, at every end of the run.
void end_of_run_close();

// Acts on a signal that arrived since the last call: writes its report and ends the run.
// Called at statement boundaries and when a system call was interrupted.
void act_on_signals();

// How the run leaves the process. The tool exits or aborts; a test harness may throw instead.
// Neither function may return.
struct RunExit {
    void (*exit)(int status);
    void (*abort)();
};
void set_run_exit(RunExit exit);
// Forgets every connection and statement context (test harnesses only, between runs).
void reset_units();

}  // namespace smwave
