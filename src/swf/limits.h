#pragma once

#include <cstddef>
#include <cstdint>

namespace quillmere::swf {

// What a movie from the network may cost at the most: a banner is small, and these leave room
// for every banner worth showing. Each says what happens to a movie that goes past it.

// Refused whole, with a LimitExceeded error that names the limit:
inline constexpr std::size_t kMaxMovieBytes = 32u << 20;      // the body after decompression
inline constexpr std::uint32_t kMaxBitmapSide = 8192;         // pixels, either side of one bitmap
inline constexpr std::uint64_t kMaxBitmapPixels = 64'000'000; // all bitmaps of a movie together
inline constexpr std::size_t kMaxShapeRecords = 100'000;      // edges and style changes of one shape
inline constexpr std::size_t kMaxMovieRecords = 4'000'000;    // shape records and display commands together
inline constexpr std::uint64_t kMaxLzmaMemory = 256u << 20;   // the LZMA decoder's dictionary and state

// Cut short: what lies beyond is dropped and the rest plays.
inline constexpr std::size_t kMaxFrames = 65'535; // of any one timeline: later frames are dropped

// Scripts: the budget of actions a frame, and the caps on their stack, strings, calls and heap,
// are those of avm1::Machine and avm1::Heap (src/swf/avm1/).

// Left empty: the object is placed but shows nothing, and what it holds is not placed.
inline constexpr int kMaxSpriteNesting = 16;                                   // sprites within sprites, when placed
inline constexpr std::size_t kMaxDisplayObjects = 10'000;                      // placed at one time, at every level
inline constexpr std::size_t kMaxObjectsMadeInAFrame = 4 * kMaxDisplayObjects; // placed, replaced or not
inline constexpr std::size_t kLongestFaceName = 64; // characters of a font's name: each run of text keeps its own
// Of one text field's text, past which the rest is not shown: each line and each run of a style
// is laid out whenever the text changes, and a script may change it many times a frame.
inline constexpr std::size_t kMostFieldCharacters = 65'536;
inline constexpr std::size_t kMostFieldRuns = 4096; // paragraphs and runs of a style together

// Clamped: the frame rate the player ticks at, whatever the movie asks for (0 to 255).
inline constexpr double kMinFrameRate = 1;
inline constexpr double kMaxFrameRate = 120; // no faster than a screen shows

// What the renderer spends at the most, whatever the movie.
// An image asked for with a side longer than this many pixels is not drawn: a null image.
inline constexpr int kMaxRenderSide = 8192;
// Morph shapes kept made at a ratio; one more drops them all, to be made again when drawn.
inline constexpr std::size_t kMaxCachedMorphFrames = 256;
// Bitmaps kept tinted by a colour transform; one more drops them all, to be tinted again.
inline constexpr std::size_t kMaxCachedTintedBitmaps = 32;
// Gradient ramps kept made in a colour transform; one more drops them all, to be made again.
inline constexpr std::size_t kMaxCachedRamps = 256;
// A text field's device-font height, in twips; a taller field's text is drawn at this height.
inline constexpr int kMaxTextFieldPixelSize = 20000;
inline constexpr std::size_t kMaxTextFieldCharacters = 20000; // laid out in one field: the rest is not drawn

} // namespace quillmere::swf
