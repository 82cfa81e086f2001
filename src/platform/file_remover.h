#pragma once

#include <string>

namespace quillmere::platform {

// Deletes a file. Throws Failure when it cannot, a missing file included.
class FileRemover {
public:
    virtual ~FileRemover() = default;
    virtual void remove(const std::string& path) = 0;
};

} // namespace quillmere::platform
