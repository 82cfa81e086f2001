#pragma once

#include <string>

namespace quillmere::platform {

// Puts UTF-8 text on the desktop clipboard as plain text. Never throws.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void setText(const std::string& text) = 0;
};

} // namespace quillmere::platform
