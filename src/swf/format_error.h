#pragma once

#include <stdexcept>

namespace quillmere::swf {

// A movie that breaks the format or one of the reader's limits. The message says what and
// where, ready for one line on standard error.
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A movie past one of the limits in limits.h. Unlike a character the reader cannot make sense
// of, which is left empty, this refuses the whole movie.
class LimitExceeded : public FormatError {
public:
    using FormatError::FormatError;
};

} // namespace quillmere::swf
