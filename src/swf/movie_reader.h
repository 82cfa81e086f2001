#pragma once

#include <string_view>

#include "swf/movie.h"

namespace quillmere::swf {

// Reads a whole movie file: header, dictionary of characters and the frames of its timeline.
// Tags the player does not use (sound, video, scripts, filters) are skipped by their length.
// Throws FormatError for a broken, truncated or over-limit movie, and for an ActionScript 3
// movie, which has nothing to show without its script engine.
Movie readMovie(std::string_view file);

} // namespace quillmere::swf
