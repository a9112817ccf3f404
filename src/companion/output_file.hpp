#pragma once
// An output file that a reader never sees half written.
//
// The text goes to a temporary file in the target's folder and commit() renames it over the target; a
// file that is not committed (a failure, an exception, SIGINT or SIGTERM) is removed. A target that
// exists and is not a regular file (a terminal, /dev/null, a pipe, a device) is written in place.
//
//     auto out = OutputFile::open("table.txt");
//     if (!out) return out.problem();
//     out->write(text);
//     if (auto problem = out->commit()) return *problem;
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "companion/problem.hpp"

namespace smwave::companion {

class OutputFile {
  public:
    // Opens a temporary file beside `target` (or `target` itself when it is not a regular file).
    static Result<OutputFile> open(const std::filesystem::path& target);
    // Standard output, written in place.
    static OutputFile standard_output();

    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&&) = delete;
    OutputFile(const OutputFile&) = delete;
    ~OutputFile();

    // Appends text; it reaches the file in large blocks (a block of 1 MiB or more given while nothing
    // waits goes straight to the file). A failing write is kept and reported by commit().
    void write(std::string_view text);
    // The block being filled, for callers that render into it directly; call flush_if_full() after.
    std::string& buffer() { return buffer_; }
    void flush_if_full();

    // Writes out the rest, closes, and renames the temporary file over the target.
    Status commit();

    const std::filesystem::path& target() const { return target_; }

  private:
    OutputFile(std::filesystem::path target, std::filesystem::path temporary, int descriptor, int slot);
    void flush();
    void write_through(std::string_view text);
    Problem failure(std::string_view doing, int error) const;

    std::filesystem::path target_;
    std::filesystem::path temporary_;  // empty when written in place
    int descriptor_ = -1;
    int slot_ = -1;  // its place among the files removed on interruption
    int error_ = 0;  // the first failing write's errno
    std::string buffer_;
};

// Refuses an output that names one of the inputs (the same file by any path): an input is never
// overwritten.
Status refuse_overwriting_inputs(const std::filesystem::path& output,
                                 std::span<const std::filesystem::path> inputs);

}  // namespace smwave::companion
