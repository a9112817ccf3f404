#include "companion/output_file.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "companion/interrupt.hpp"

namespace smwave::companion {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t block_size = 1 << 20;

// The permissions a file created by open() with 0666 would have: the temporary file gets them too.
mode_t created_file_mode() {
    static const mode_t mode = [] {
        const mode_t mask = ::umask(022);
        ::umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

bool is_special_file(const fs::path& target) {
    struct stat status {};
    return ::stat(target.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
}

}  // namespace

OutputFile::OutputFile(fs::path target, fs::path temporary, int descriptor, int slot)
    : target_(std::move(target)), temporary_(std::move(temporary)), descriptor_(descriptor), slot_(slot) {
    buffer_.reserve(block_size + block_size / 4);
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : target_(std::move(other.target_)),
      temporary_(std::move(other.temporary_)),
      descriptor_(other.descriptor_),
      slot_(other.slot_),
      error_(other.error_),
      buffer_(std::move(other.buffer_)) {
    other.descriptor_ = -1;
    other.slot_ = -1;
    other.temporary_.clear();
}

Result<OutputFile> OutputFile::open(const fs::path& target) {
    if (is_special_file(target)) {
        const int descriptor = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (descriptor < 0)
            return Problem{target.string(), 0, std::string("cannot write: ") + std::strerror(errno)};
        return OutputFile(target, {}, descriptor, -1);
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    // An interruption between the file's creation and its registration would leave it behind.
    sigset_t interruptions, before;
    sigemptyset(&interruptions);
    sigaddset(&interruptions, SIGINT);
    sigaddset(&interruptions, SIGTERM);
    ::sigprocmask(SIG_BLOCK, &interruptions, &before);
    const int descriptor = ::mkstemp(pattern.data());
    const int error = errno;
    const int slot = descriptor < 0 ? -1 : register_pending_output(pattern);
    ::sigprocmask(SIG_SETMASK, &before, nullptr);
    if (descriptor < 0) {
        return Problem{target.string(), 0, std::string("cannot create the file: ") + std::strerror(error)};
    }
    ::fchmod(descriptor, created_file_mode());
    return OutputFile(target, pattern, descriptor, slot);
}

OutputFile OutputFile::standard_output() { return OutputFile("-", {}, ::dup(STDOUT_FILENO), -1); }

OutputFile::~OutputFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    release_pending_output(slot_);
}

void OutputFile::write(std::string_view text) {
    if (buffer_.empty() && text.size() >= block_size) {
        write_through(text);  // a whole block already: no copy
        return;
    }
    buffer_.append(text);
    flush_if_full();
}

void OutputFile::flush_if_full() {
    if (buffer_.size() >= block_size) flush();
}

void OutputFile::flush() {
    write_through(buffer_);
    buffer_.clear();
}

void OutputFile::write_through(std::string_view text) {
    std::size_t done = 0;
    while (error_ == 0 && done < text.size()) {
        const ssize_t written = ::write(descriptor_, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            error_ = written < 0 ? errno : EIO;
            break;
        }
        done += static_cast<std::size_t>(written);
    }
}

Problem OutputFile::failure(std::string_view doing, int error) const {
    return Problem{target_.string(), 0, std::string(doing) + ": " + std::strerror(error)};
}

Status OutputFile::commit() {
    flush();
    if (error_ != 0) return failure("cannot write", error_);
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (::close(descriptor) != 0) return failure("cannot write", errno);
    if (temporary_.empty()) return std::nullopt;
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) return failure("cannot write", errno);
    temporary_.clear();
    release_pending_output(slot_);
    slot_ = -1;
    return std::nullopt;
}

Status refuse_overwriting_inputs(const fs::path& output, std::span<const fs::path> inputs) {
    for (const auto& input : inputs) {
        std::error_code error;
        if (fs::equivalent(output, input, error)) {
            return Problem{
                output.string(), 0,
                "the output would overwrite the input " + input.string() + "; choose another output name"};
        }
    }
    return std::nullopt;
}

}  // namespace smwave::companion
