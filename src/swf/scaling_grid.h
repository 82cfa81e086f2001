#pragma once

// Nine-slice scaling: a clip with a grid keeps the parts of its shapes outside the grid at their
// size however its own matrix scales it. The four corners keep their size, the edges between
// them stretch along themselves, and the centre takes the rest. Buttons and panels are drawn so.

#include <array>
#include <optional>

#include "swf/geometry.h"
#include "swf/shape.h"

namespace quillmere::swf {

struct Slicing {
    Box grid;                      // the clip's twips
    Box bounds;                    // of what the clip holds, in its twips
    double scaleX = 1, scaleY = 1; // of its own matrix

    std::array<double, 10> key() const;
};

// How a clip placed with `matrix` lays out its shapes; none when the matrix leaves them as they
// are, or turns or skews them, or when the grid or the bounds are empty.
std::optional<Slicing> slicingOf(const Box& grid, const std::optional<Box>& bounds, const Matrix& matrix);

// `shape`, placed in the clip with `toClip`, laid out in the clip's twips. Fills keep their
// gradients and bitmaps as placed, unsliced.
Shape slicedShape(const Shape& shape, const Matrix& toClip, const Slicing& slicing);

} // namespace quillmere::swf
