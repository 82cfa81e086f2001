#pragma once

#include <string>

namespace quillmere::platform {

// Reads a text file for the text stream (see text_stream.h). Throws Failure when the file is
// missing or unreadable; a missing file is never created.
class TextFiles {
public:
    virtual ~TextFiles() = default;
    virtual std::string readWhole(const std::string& path) const = 0;
};

} // namespace quillmere::platform
