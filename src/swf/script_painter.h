#pragma once

#include <cstdint>
#include <optional>

#include "swf/movie.h"
#include "swf/player.h"

namespace quillmere::swf {

// What only a renderer can paint into a script's bitmap: a clip's picture, and a filter's; whether
// a clip's fills hold a point; and how much room a text takes in the faces it is drawn in. A
// player with none leaves such bitmaps as they are, takes a clip's bounds for its fills, and a
// field's frame as the movie gave it.
class ScriptPainter {
public:
    virtual ~ScriptPainter() = default;

    // How a picture goes over a bitmap: through which blend mode, onto which of its pixels
    // (x0 <= x < x1, y0 <= y < y1), and, for a bitmap's pixels, whether scaled smoothly.
    struct Over {
        BlendMode blend = BlendMode::Normal;
        std::uint32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        bool smoothing = false;
    };
    // Draws `list`, a clip's contents in its own twips, over `into` through `matrix`, which takes
    // pixels of the clip to pixels of the bitmap, its colours through `colors`.
    virtual void draw(const DisplayList& list, const Matrix& matrix, const ColorTransform& colors, const Over& over,
                      Bitmap& into)
        = 0;
    // Draws `from`'s pixels over `into` likewise.
    virtual void draw(const Bitmap& from, const Matrix& matrix, const ColorTransform& colors, const Over& over,
                      Bitmap& into)
        = 0;
    // Puts `filter`'s picture of the `width` by `height` pixels of `from` at (`fromX`, `fromY`)
    // into `into` at (`toX`, `toY`), in place of what was there; opaque unless `intoHasAlpha`.
    struct Area {
        std::uint32_t fromX, fromY, width, height;
        std::int64_t toX, toY;
    };
    virtual void filter(const Bitmap& from, Area area, const Filter& filter, Bitmap& into, bool intoHasAlpha) = 0;
    // Whether the fills of `list`, a clip's contents placed on the stage by `toStage`, hold the
    // point `onStage` (twips).
    virtual bool covers(const DisplayList& list, const Matrix& toStage, Point onStage) = 0;
    // `field`'s frame as it is drawn, fitted to its text when it sizes itself, and the size its
    // lines take, in twips; the lines it can be scrolled to, from 1, the one at its top, and the
    // last one shown whole.
    struct FieldLayout {
        Rect frame;
        double textWidth = 0, textHeight = 0;
        std::uint32_t maxScroll = 1, scroll = 1, bottomScroll = 1;
    };
    virtual FieldLayout layOut(const EditText& field) = 0;
    // The movie's bitmap `id` as pixels, premultiplied; none when it has none by that id, or
    // it does not decode.
    virtual std::optional<Bitmap> decoded(std::uint16_t id) = 0;
};

} // namespace quillmere::swf
