#pragma once

#include <cstddef>
#include <cstdint>

namespace quillmere::swf {

// What a movie from the network may cost at the most. A movie over any of them is refused
// whole: a banner is small, and these leave room for every banner worth showing.
inline constexpr std::size_t kMaxMovieBytes = 32u << 20;      // after decompression
inline constexpr std::uint32_t kMaxBitmapSide = 8192;         // pixels, either side
inline constexpr std::uint64_t kMaxBitmapPixels = 64'000'000; // all bitmaps of a movie together
inline constexpr std::size_t kMaxShapeRecords = 100'000;      // edges and style changes of one shape
inline constexpr std::size_t kMaxMovieRecords = 4'000'000;    // shape records and display commands together
inline constexpr int kMaxSpriteNesting = 16;                  // sprites within sprites, when placed
inline constexpr std::size_t kMaxDisplayObjects = 10'000;     // placed at one time, at every level
inline constexpr std::size_t kMaxFrames = 65'535;             // of any one timeline

} // namespace quillmere::swf
