#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "swf/shape.h"
#include "swf/types.h"

namespace quillmere::swf {

// A bitmap as the movie stores it. Lossless bitmaps are decoded by the reader; JPEG, PNG and
// GIF data is kept encoded (with JPEG tables merged in) for the renderer's image decoder,
// together with a separate alpha plane where the movie gives one.
struct Bitmap {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> argb; // decoded: premultiplied 0xAARRGGBB, row by row
    std::string encoded;             // else: a JPEG, PNG or GIF file
    std::string alpha;               // JPEG with alpha: one byte a pixel, row by row
};

struct Glyph {
    Path outline; // in font units: 1024 to the em, 20480 for DefineFont3
};

struct Font {
    std::vector<Glyph> glyphs;
    double unitsPerEm = 1024;
};

struct TextRun {
    std::uint16_t fontId = 0;
    Rgba color;
    double height = 0; // twips
    double x = 0, y = 0;
    struct Placed {
        std::uint32_t glyph;
        std::int32_t advance;
    };
    std::vector<Placed> glyphs;
};

struct Text {
    Rect bounds;
    Matrix matrix;
    std::vector<TextRun> runs;
};

// PlaceObject, PlaceObject2 and PlaceObject3: what they give, the rest absent.
struct Place {
    std::uint16_t depth = 0;
    bool move = false; // modifies (or replaces the character of) what is at the depth
    std::optional<std::uint16_t> characterId;
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> colorTransform;
    std::optional<std::uint16_t> ratio;
    std::optional<std::uint16_t> clipDepth;
};

struct Remove {
    std::uint16_t depth = 0;
};

using DisplayCommand = std::variant<Place, Remove>;

struct Frame {
    std::vector<DisplayCommand> commands;
};

struct Timeline {
    std::vector<Frame> frames; // at least one
};

struct Sprite {
    Timeline timeline;
};

using Character = std::variant<Shape, Bitmap, Font, Text, Sprite>;

struct Movie {
    std::uint8_t version = 0;
    Rect stage; // twips
    double frameRate = 12;
    Rgba background{255, 255, 255, 255};
    std::map<std::uint16_t, std::shared_ptr<const Character>> dictionary;
    Timeline timeline;

    const Character* character(std::uint16_t id) const;
    template <typename T>
    const T* find(std::uint16_t id) const
    {
        const Character* found = character(id);
        return found ? std::get_if<T>(found) : nullptr;
    }
};

} // namespace quillmere::swf
