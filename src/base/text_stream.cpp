#include "base/text_stream.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace quillmere {

namespace {

// The line that starts at `start` and ends before the next line feed (or at `end`), without
// its terminator.
std::string_view lineAt(std::string_view text, std::size_t start, std::size_t next, bool terminated)
{
    std::size_t length = next - start - (terminated ? 1 : 0);
    if (terminated && length > 0 && text[start + length - 1] == '\r')
        --length;
    return text.substr(start, length);
}

} // namespace

TextLines::TextLines(Bytes bytes, std::size_t from) : bytes_(std::move(bytes))
{
    const std::string_view text = bytes_.view();
    const bool narrow = text.size() <= std::numeric_limits<std::uint32_t>::max();
    // Counted first, so that the index is allocated once, at its size.
    std::size_t lines = 0;
    for (const char* at = text.data() + from; at < text.data() + text.size(); ++lines) {
        const void* feed = std::memchr(at, '\n', static_cast<std::size_t>(text.data() + text.size() - at));
        at = feed ? static_cast<const char*>(feed) + 1 : text.data() + text.size();
    }
    if (narrow)
        narrow_.reserve(lines);
    else
        wide_.reserve(lines);
    for (std::size_t at = from; at < text.size(); ++count_) {
        if (narrow)
            narrow_.push_back(static_cast<std::uint32_t>(at));
        else
            wide_.push_back(at);
        const void* feed = std::memchr(text.data() + at, '\n', text.size() - at);
        at = feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - text.data()) + 1 : text.size();
    }
}

std::string_view TextLines::line(std::size_t index) const
{
    const std::string_view text = bytes_.view();
    const std::size_t next = index + 1 < count_ ? start(index + 1) : text.size();
    const bool terminated = next > start(index) && text[next - 1] == '\n';
    return lineAt(text, start(index), next, terminated);
}

TextStream::TextStream(Bytes bytes) : bytes_(std::move(bytes))
{
}

bool TextStream::atEndOfStream() const
{
    throwIfClosed();
    return position_ >= bytes_.size();
}

void TextStream::readLine(std::string& line)
{
    if (atEndOfStream())
        throw std::logic_error("read past the end of a text file"); // callers ask atEndOfStream() first
    const std::string_view text = bytes_.view();
    const void* feed = std::memchr(text.data() + position_, '\n', text.size() - position_);
    const std::size_t next
        = feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - text.data()) + 1 : text.size();
    line.assign(lineAt(text, position_, next, feed != nullptr));
    position_ = next;
}

std::shared_ptr<const TextLines> TextStream::readRemainingLines()
{
    throwIfClosed();
    auto lines = std::make_shared<const TextLines>(bytes_, position_);
    position_ = bytes_.size();
    return lines;
}

void TextStream::close()
{
    closed_ = true;
    bytes_ = {};
}

void TextStream::throwIfClosed() const
{
    if (closed_)
        throw std::logic_error("text stream used after it was closed");
}

} // namespace quillmere
