#include "lists/list_choice.h"

#include <cmath>

namespace quillmere::lists {

std::int16_t drawListChoice(float r)
{
    constexpr std::int16_t upperBound = 5;
    constexpr std::int16_t lowerBound = 1;
    constexpr std::int16_t span = upperBound - lowerBound + 1;
    const float sum = static_cast<float>(span) * r + static_cast<float>(lowerBound);
    return static_cast<std::int16_t>(std::floor(sum));
}

} // namespace quillmere::lists
