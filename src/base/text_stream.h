#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/bytes.h"

namespace quillmere {

// The lines of a text, found once: the bytes as they were read, and where each line starts
// (4 bytes a line for texts under 4 GiB). Lines follow the stream's rules below.
class TextLines {
public:
    TextLines(Bytes bytes, std::size_t from);

    std::size_t count() const { return count_; }
    std::string_view line(std::size_t index) const;

private:
    std::size_t start(std::size_t index) const { return narrow_.empty() ? wide_[index] : narrow_[index]; }

    Bytes bytes_;
    std::vector<std::uint32_t> narrow_;
    std::vector<std::uint64_t> wide_;
    std::size_t count_ = 0;
};

// A text file opened for reading, line by line. A line ends at a line feed; a carriage return
// just before it is dropped, while a carriage return anywhere else stays in the line. The last
// line needs no terminator, and a terminator at the very end adds no empty line. Bytes are
// returned as they stand; decoding them is the reader's business.
class TextStream {
public:
    explicit TextStream(Bytes bytes);

    bool atEndOfStream() const;
    // Replaces `line` with the next line, reusing its storage. Throws std::logic_error at the end of the
    // stream or after close().
    void readLine(std::string& line);
    // Every line left, at once and without copying them; the stream is then at its end.
    std::shared_ptr<const TextLines> readRemainingLines();
    void close();

private:
    void throwIfClosed() const;

    Bytes bytes_;
    std::size_t position_ = 0;
    bool closed_ = false;
};

} // namespace quillmere
