// A movie from any bytes, played with its scripts for 60 frames while the pointer moves over
// buttons, clicks them and drags off them, as the bytes' own hash decides: whatever its
// scripts do, each frame ends and nothing faults.

#include <cstddef>
#include <cstdint>
#include <random>

#include "movie_or_nothing.h"
#include "swf/player.h"

using namespace quillmere::swf;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto movie = movieOrNothing(data, size);
    if (!movie)
        return 0;
    std::uint32_t seed = 2166136261u; // the bytes' FNV-1a hash
    for (std::size_t i = 0; i < size; ++i)
        seed = (seed ^ data[i]) * 16777619u;
    std::minstd_rand pointer(seed);
    Player player(movie);
    for (int frame = 0; frame < 60; ++frame) {
        player.tick();
        const auto moveAnywhere = [&] {
            player.pointerAt({std::int32_t(pointer() % 20000), std::int32_t(pointer() % 20000)});
            player.pointerMoved();
            player.pointerOver(pointer() % 64); // instances are numbered from 1 as they are made
        };
        if (pointer() % 4 == 0) {
            moveAnywhere();
            player.pointerPressed();
            if (pointer() % 2 == 0)
                moveAnywhere(); // a drag, which may end off the button pressed
            player.pointerReleased();
        }
    }
    return 0;
}
