#pragma once

#include <string>
#include <string_view>

namespace quillmere::platform {

// Writes bytes as the whole content of a file, creating it or truncating what was there.
// Throws Failure when the file cannot be opened or written.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    virtual void writeWhole(const std::string& path, std::string_view bytes) = 0;
};

} // namespace quillmere::platform
