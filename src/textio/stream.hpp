#pragma once
// A byte stream over an open file descriptor, with one buffer that serves either reading or writing.
//
// Reading hands out one byte at a time with one byte of push-back; the buffer is refilled in large
// blocks. Writing takes whole lines and hands them to the file in large blocks. A failed system call
// leaves a sticky error flag and its error number, as a stdio stream would.
#include <cstddef>
#include <cstdint>
#include <span>

namespace smwave {

class Stream {
  public:
    static constexpr std::size_t capacity = 1 << 16;

    // Bytes of the buffer handed to attach(): the push-back byte, `capacity` bytes read, a zero byte
    // after them, and one byte to spare for scanners that look at two bytes at a time.
    static constexpr std::size_t buffer_size = capacity + 3;

    // Takes over `fd` with `buffer` (buffer_size bytes) as its buffer, which starts empty; close()
    // closes the descriptor, detach() only forgets it.
    void attach(int fd, unsigned char* buffer);
    void detach();
    bool attached() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    // Next byte 0..255, or -1 at the end of the stream or on a read failure (`failed()` tells which).
    int get() {
        if (pos_ < len_) return buf_[pos_++];
        return refill();
    }
    // Pushes back the byte just returned by get() (never after a -1); one byte deep.
    void unget() { --pos_; }
    // The bytes buffered after the read position, for scanners that look ahead; `advance` consumes them.
    // When there are any, a zero byte follows the last of them, so a scan stops there unaided.
    std::span<const unsigned char> buffered() const { return {buf_ + pos_, len_ - pos_}; }
    void advance(std::size_t n) { pos_ += n; }

    // Appends the n bytes of `line` and one line end. False when the file refused bytes (see error()).
    bool write_line(const char* line, std::size_t n);
    // Hands every buffered byte to the file. False on a write failure.
    bool flush();
    // Drops what was read ahead and moves the file position back to the next unread byte.
    void drop_read_ahead();

    // Byte position of the next read or write, as seen by the program (buffered bytes counted).
    long long position();
    // Closes the descriptor; unwritten bytes are not written (flush first).
    void close();

    bool failed() const { return failed_; }
    int error() const { return error_; }
    void clear_error() {
        failed_ = false;
        error_ = 0;
    }

  private:
    int refill();

    bool write_all(const char* bytes, std::size_t n);

    int fd_ = -1;
    bool failed_ = false;
    int error_ = 0;
    // Reading: bytes buf_[pos_, len_) are read ahead; buf_[0] keeps the last byte of the previous block
    // so that push-back works across a refill.
    std::size_t pos_ = 1;
    std::size_t len_ = 1;
    // Writing: bytes buf_[0, waiting_) wait to be written. Reading and writing never overlap.
    std::size_t waiting_ = 0;
    unsigned char* buf_ = nullptr;
};

}  // namespace smwave
