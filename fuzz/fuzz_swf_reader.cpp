// The SWF reader and the timeline player on any bytes: a movie is read or refused with
// FormatError, and a movie that reads plays without fault.

#include <cstddef>
#include <cstdint>

#include "movie_or_nothing.h"
#include "swf/player.h"

using namespace quillmere::swf;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto movie = movieOrNothing(data, size);
    if (!movie)
        return 0;
    Player player(movie);
    for (int frame = 0; frame < 8; ++frame)
        player.tick();
    return 0;
}
