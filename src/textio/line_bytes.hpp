#pragma once
// The two byte sources that the read scanners run on. Both read a carriage return directly followed
// by a line feed as the line feed alone, and both push back the last byte taken (one byte deep).
//
// SpanBytes walks bytes already in memory (the buffer of a stream) and reports when a scan ran off
// its end; StreamBytes takes bytes from a unit's stream and notes the end of the stream on the unit.
#include <cstddef>
#include <cstring>
#include <span>

#include "textio/units.hpp"

namespace smwave {

// A scan over a block of buffered bytes. Its end is an edge, not the end of the stream: get() then
// gives -1 and marks `edge()`, and whatever the scan made of it must be thrown away and redone from
// the stream. A test may use a block as a whole stream, where the edge is the end.
class SpanBytes {
  public:
    explicit SpanBytes(std::span<const unsigned char> bytes)
        : begin_(bytes.data()), at_(bytes.data()), end_(bytes.data() + bytes.size()) {}

    int get() {
        if (at_ == end_) return off_edge();
        const int c = *at_++;
        width_ = 1;
        if (c != '\r') return c;
        if (at_ == end_) return off_edge();
        if (*at_ != '\n') return c;
        ++at_;
        width_ = 2;
        return '\n';
    }
    // Pushes back the byte just taken; nothing after a -1.
    void unget() {
        at_ -= width_;
        width_ = 0;
    }
    bool edge() const { return edge_; }
    // Bytes taken from the block so far.
    std::size_t consumed() const { return static_cast<std::size_t>(at_ - begin_); }

  private:
    int off_edge() {
        edge_ = true;
        width_ = 0;
        return -1;
    }

    const unsigned char* begin_;
    const unsigned char* at_;
    const unsigned char* end_;
    int width_ = 0;  // bytes of the last byte taken: 2 for a carriage return and line feed
    bool edge_ = false;
};

// A scan over the stream of a unit, one byte at a time. At the end of the stream (not at a read
// failure, which the stream keeps in `failed()`) it sets the unit's end-of-file flag and, when
// given, the read's end-seen flag.
class StreamBytes {
  public:
    StreamBytes(Unit& u, bool* end_seen) : unit_(u), end_seen_(end_seen) {}

    int get() {
        Stream& s = unit_.stream;
        last_ = s.get();
        if (last_ == '\r') {
            const int next = s.get();
            if (next == '\n') {
                last_ = '\n';
            } else if (next >= 0) {
                s.unget();
            }
        } else if (last_ < 0 && !s.failed()) {
            unit_.at_eof = true;
            if (end_seen_ != nullptr) *end_seen_ = true;
        }
        return last_;
    }
    // Pushes back the byte just taken (the line feed of a carriage return and line feed pair is
    // taken again as a line feed); nothing after a -1.
    void unget() {
        if (last_ >= 0) unit_.stream.unget();
        last_ = -1;
    }

  private:
    Unit& unit_;
    bool* end_seen_;
    int last_ = -1;
};

// Discards the bytes of `u` up to and including the next line feed. Gives false when the stream
// ends first, setting the unit's end-of-file flag, or fails first (see the stream's `failed()`).
inline bool discard_line(Unit& u) {
    Stream& s = u.stream;
    for (;;) {
        const std::span<const unsigned char> block = s.buffered();
        if (const void* lf = std::memchr(block.data(), '\n', block.size())) {
            s.advance(static_cast<std::size_t>(static_cast<const unsigned char*>(lf) - block.data()) + 1);
            return true;
        }
        s.advance(block.size());
        const int c = s.get();
        if (c == '\n') return true;
        if (c < 0) {
            if (!s.failed()) u.at_eof = true;
            return false;
        }
    }
}

}  // namespace smwave
