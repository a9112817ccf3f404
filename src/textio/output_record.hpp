#pragma once
// The record in progress: the one line being assembled for a unit. Only one record is open at a
// time, so one buffer serves every unit; it holds 400 characters at first and grows as needed.
#include <cstddef>
#include <memory>

#include "textio/format_text.hpp"

namespace smwave {

struct OutputRecord {
    int unit = 0;
    std::unique_ptr<char[]> text;
    std::size_t capacity = 0;
    std::size_t length = 0;          // characters of the current line so far
    std::size_t pending_blanks = 0;  // blanks asked for by a skip and not yet written
    FormatText format;               // elements of the edit-format record in progress

    // Begins an empty record on `unit` with no pending blanks.
    //     output_record().begin(6);
    void begin(int unit);

    // Room for `n` more characters after the line so far; the caller adds what it writes to length.
    // The buffer grows to 1024 characters, then doubles; without memory the run ends (error 113).
    char* room(std::size_t n);

    // Adds `n` characters, or `n` blanks, to the line.
    void append(const char* chars, std::size_t n);
    void append_blanks(std::size_t n);
    // Writes the pending blanks and clears them.
    void write_pending_blanks();

    // Hands the line so far to the unit with its line end; the next line starts empty, and blanks
    // still pending are dropped.
    void end_line();
};

// The single record in progress of the run.
OutputRecord& output_record();

}  // namespace smwave
