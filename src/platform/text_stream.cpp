#include "platform/text_stream.h"

#include <cstring>

#include "platform/failure.h"

namespace quillmere::platform {

TextStream::TextStream(std::string bytes) : bytes_(std::move(bytes))
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
        throw Failure("read past the end of a text file");
    const char* start = bytes_.data() + position_;
    const std::size_t left = bytes_.size() - position_;
    const auto* feed = static_cast<const char*>(std::memchr(start, '\n', left));
    std::size_t length = feed ? static_cast<std::size_t>(feed - start) : left;
    position_ += feed ? length + 1 : length;
    if (feed && length > 0 && start[length - 1] == '\r')
        --length;
    line.assign(start, length);
}

void TextStream::close()
{
    closed_ = true;
    bytes_ = {};
}

void TextStream::throwIfClosed() const
{
    if (closed_)
        throw Failure("text stream used after it was closed");
}

} // namespace quillmere::platform
