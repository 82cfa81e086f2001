#pragma once

#include <stdexcept>

namespace quillmere::platform {

// What an outside service throws when it cannot do what was asked. The message names the
// resource and the reason ("http://host/prx/top20.bin: HTTP 404 Not Found"), ready to show.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace quillmere::platform
