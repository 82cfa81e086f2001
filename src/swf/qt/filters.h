#pragma once

#include <vector>

#include <QImage>

#include "swf/movie.h"

namespace quillmere::swf::qt {

// The farthest blurs and passes drawn: larger ones are drawn as these, as players do, so that a
// hostile movie's filter costs a bounded time a pixel.
constexpr double kLargestBlur = 255;
constexpr int kMostPasses = 15;
constexpr int kLargestConvolution = 15; // columns or rows; larger matrices leave the picture as it is

// How far, in pixels, `filters` may carry an object's picture beyond its outline, at `scale`
// pixels to a pixel of the stage.
int filterReach(const std::vector<Filter>& filters, double scale);

// Applies `filters` in order to `layer` (ARGB32 premultiplied), an object's picture alone, as
// far as `work` (values to compute, taken from as they are spent) allows.
void applyFilters(const std::vector<Filter>& filters, QImage& layer, double scale, std::size_t& work);

} // namespace quillmere::swf::qt
