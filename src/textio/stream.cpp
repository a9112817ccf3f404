#include "textio/stream.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "textio/units.hpp"

namespace smwave {

void Stream::attach(int fd, unsigned char* buffer) {
    fd_ = fd;
    buf_ = buffer;
    failed_ = false;
    error_ = 0;
    pos_ = len_ = 1;
    waiting_ = 0;
}

int Stream::refill() {
    if (fd_ < 0) return -1;
    buf_[0] = buf_[len_ - 1];
    for (;;) {
        const ssize_t n = ::read(fd_, buf_ + 1, capacity);
        if (n > 0) {
            len_ = 1 + static_cast<std::size_t>(n);
            buf_[len_] = 0;
            pos_ = 2;
            return buf_[1];
        }
        if (n == 0) {
            pos_ = len_ = 1;
            return -1;
        }
        if (errno == EINTR) {
            act_on_signals();
            continue;
        }
        failed_ = true;
        error_ = errno;
        pos_ = len_ = 1;
        return -1;
    }
}

bool Stream::write_all(const char* bytes, std::size_t n) {
    while (n > 0) {
        const ssize_t done = ::write(fd_, bytes, n);
        if (done > 0) {
            bytes += done;
            n -= static_cast<std::size_t>(done);
        } else if (done < 0 && errno == EINTR) {
            // A signal is acted on at the next record boundary, so no record is ever left half written.
            continue;
        } else {
            failed_ = true;
            error_ = done < 0 ? errno : ENOSPC;
            return false;
        }
    }
    return true;
}

bool Stream::flush() {
    if (waiting_ == 0) return true;
    if (!write_all(reinterpret_cast<const char*>(buf_), waiting_)) return false;
    waiting_ = 0;
    return true;
}

bool Stream::write_line(const char* line, std::size_t n) {
    if (waiting_ + n + 1 > capacity) {
        if (!flush()) return false;
        if (n + 1 > capacity) {
            static constexpr char line_end = '\n';
            return write_all(line, n) && write_all(&line_end, 1);
        }
    }
    std::memcpy(buf_ + waiting_, line, n);
    waiting_ += n;
    buf_[waiting_++] = '\n';
    return true;
}

void Stream::drop_read_ahead() {
    const std::size_t ahead = len_ - pos_;
    if (ahead > 0) ::lseek(fd_, -static_cast<off_t>(ahead), SEEK_CUR);
    pos_ = len_ = 1;
}

long long Stream::position() {
    const off_t at = ::lseek(fd_, 0, SEEK_CUR);
    if (at < 0) return -1;
    return static_cast<long long>(at) + static_cast<long long>(waiting_) -
           static_cast<long long>(len_ - pos_);
}

void Stream::close() {
    if (fd_ >= 0) ::close(fd_);
    detach();
}

void Stream::detach() {
    fd_ = -1;
    pos_ = len_ = 1;
    waiting_ = 0;
}

}  // namespace smwave
