// The SWF reader and the timeline player on any bytes: a movie is read or refused with
// FormatError, and a movie that reads plays without fault.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "swf/format_error.h"
#include "swf/movie_reader.h"
#include "swf/player.h"

using namespace quillmere::swf;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::shared_ptr<const Movie> movie;
    try {
        movie = std::make_shared<const Movie>(readMovie(std::string_view(reinterpret_cast<const char*>(data), size)));
    } catch (const FormatError&) {
        return 0;
    }
    Player player(movie);
    for (int frame = 0; frame < 8; ++frame)
        player.tick();
    return 0;
}
