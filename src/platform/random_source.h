#pragma once

namespace quillmere::platform {

// The runtime's pseudo-random generator: each call returns the next value r, 0 <= r < 1.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual float next() = 0;
};

} // namespace quillmere::platform
