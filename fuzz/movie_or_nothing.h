#pragma once

// What both SWF targets start from: the bytes read as a movie, or nothing when the reader
// refuses them, as it must with FormatError and nothing else.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "swf/format_error.h"
#include "swf/movie_reader.h"

inline std::shared_ptr<const quillmere::swf::Movie> movieOrNothing(const std::uint8_t* data, std::size_t size)
{
    try {
        return std::make_shared<const quillmere::swf::Movie>(
            quillmere::swf::readMovie(std::string_view(reinterpret_cast<const char*>(data), size)));
    } catch (const quillmere::swf::FormatError&) {
        return nullptr;
    }
}
