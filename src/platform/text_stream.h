#pragma once

#include <cstddef>
#include <string>

namespace quillmere::platform {

// A text file opened for reading, line by line. A line ends at a line feed; a carriage return
// just before it is dropped, while a carriage return anywhere else stays in the line. The last
// line needs no terminator, and a terminator at the very end adds no empty line. Bytes are
// returned as they stand; decoding them is the reader's business.
class TextStream {
public:
    explicit TextStream(std::string bytes);

    bool atEndOfStream() const;
    // Replaces `line` with the next line, reusing its storage. Throws Failure at the end of the
    // stream or after close().
    void readLine(std::string& line);
    void close();

private:
    void throwIfClosed() const;

    std::string bytes_;
    std::size_t position_ = 0;
    bool closed_ = false;
};

} // namespace quillmere::platform
