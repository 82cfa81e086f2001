#pragma once

#include <optional>

#include "swf/types.h"

namespace quillmere::swf {

struct DisplayObject;

// `first`, then `second`: a child's matrix, then its parent's.
Matrix operator*(const Matrix& first, const Matrix& second);
// None when the matrix squashes the plane flat.
std::optional<Matrix> inverted(const Matrix& matrix);

struct Box {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    double width() const { return xMax - xMin; }
    double height() const { return yMax - yMin; }
};

// The box around `box` once `matrix` has moved it.
Box mapped(const Box& box, const Matrix& matrix);
Box united(const std::optional<Box>& a, const Box& b);

// Where an object draws, in its own twips as the movie's bounds give them; none when it draws
// nothing.
std::optional<Box> boundsOf(const DisplayObject& object);

} // namespace quillmere::swf
