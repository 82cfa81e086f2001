#pragma once

#include "swf/movie.h"
#include "swf/qt/paint.h"

namespace quillmere::swf::qt {

// `count` pixels of a layer laid over `row` in `mode`, both premultiplied. Where `inside` is
// given, only the pixels it marks. Alpha and Erase change only the alpha of what lies under
// the layer, by the layer's own.
void blendRow(BlendMode mode, const Pixel* layer, Pixel* row, int count, const unsigned char* inside);

} // namespace quillmere::swf::qt
