#pragma once

#include <cstdint>

namespace quillmere::lists {

// Maps a generator value r (0 <= r < 1) to the number of the other list to load, 1 to 5, with
// the runtime's arithmetic: 16-bit bounds, single-precision product, floor.
std::int16_t drawListChoice(float r);

} // namespace quillmere::lists
