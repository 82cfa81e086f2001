#pragma once

// The readers of the movie's records, shared by the tag readers. Internal to the reader.

#include <cstddef>
#include <cstdint>
#include <string>

#include "swf/byte_reader.h"
#include "swf/movie.h"

namespace quillmere::swf {

// What a movie has spent of the reader's limits so far.
class Budget {
public:
    void spendRecords(std::size_t count);
    void spendPixels(std::uint64_t width, std::uint64_t height);

private:
    std::size_t records_ = 0;
    std::uint64_t pixels_ = 0;
};

Rect readRect(ByteReader& in);
Matrix readMatrix(ByteReader& in);
ColorTransform readColorTransform(ByteReader& in, bool withAlpha);
Rgba readRgb(ByteReader& in);
Rgba readRgba(ByteReader& in);

// DefineShape 1-4, after the character id.
Shape readShape(ByteReader& in, int shapeVersion, Budget& budget);
// A glyph of DefineFont 1-3: edges that fill with style 1.
Path readGlyph(ByteReader& in, Budget& budget);

// JPEG data as a self-contained JPEG file: the tables and image merged, stray end and start
// markers between them removed.
std::string normalizedJpeg(std::string_view tables, std::string_view image);
Bitmap readLosslessBitmap(ByteReader& in, int tagVersion, Budget& budget);
Bitmap readEncodedBitmap(std::string encoded, std::string_view compressedAlpha, Budget& budget);

MorphShape readMorphShape(ByteReader& in, bool morph2, Budget& budget);

ActionList readActions(ByteReader& in, Budget& budget);
Button readButton(ByteReader& in, bool button2, Budget& budget);
EditText readEditText(ByteReader& in, std::uint8_t version);

Font readFont1(ByteReader& in, Budget& budget);
Font readFont2(ByteReader& in, bool font3, std::uint8_t movieVersion, Budget& budget);
Text readText(ByteReader& in, bool withAlpha, Budget& budget);

// A filter list, and a blend mode, of PlaceObject3 or a button record.
std::vector<Filter> readFilters(ByteReader& in);
BlendMode readBlendMode(ByteReader& in);

Place readPlace1(ByteReader& in);
Place readPlace2(ByteReader& in, bool place3, std::uint8_t movieVersion, Budget& budget);

// zlib data of exactly `size` bytes once inflated.
std::string inflateExactly(std::string_view compressed, std::size_t size);

} // namespace quillmere::swf
