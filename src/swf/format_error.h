#pragma once

#include <stdexcept>

namespace quillmere::swf {

// A movie that breaks the format or one of the reader's limits. The message says what and
// where, ready for one line on standard error.
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace quillmere::swf
