#pragma once

#include <string>

#include "base/bytes.h"

namespace quillmere::platform {

// Reads a text file for the text stream (see text_stream.h). Throws Failure when the file is
// missing or unreadable; a missing file is never created.
class TextFiles {
public:
    virtual ~TextFiles() = default;
    virtual Bytes readWhole(const std::string& path) const = 0;
};

} // namespace quillmere::platform
