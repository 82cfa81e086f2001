#pragma once

#include <string>

namespace quillmere::platform {

// Shows a modal information message (information icon, one OK button) owned by the window and
// returns when the user dismisses it. Window events keep running while it is open.
class Messages {
public:
    virtual ~Messages() = default;
    virtual void showInformation(const std::string& text, const std::string& title) = 0;
    // Closes every open message as if the user had dismissed it. Never throws.
    virtual void dismissAll() = 0;
};

} // namespace quillmere::platform
