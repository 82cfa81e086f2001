#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include <QImage>

#include "swf/movie.h"

namespace quillmere::swf::qt {

// A movie's bitmaps decoded for QPainter, and tinted by the colour transforms they are drawn
// in. Decoded bitmaps are all kept; tinted ones only a few at a time.
class Bitmaps {
public:
    explicit Bitmaps(std::shared_ptr<const Movie> movie) : movie_(std::move(movie)) {}

    // The bitmap with this id in `colors`, premultiplied; a null image when the movie has none
    // by that id or it does not decode.
    const QImage& get(std::uint16_t id, const ColorTransform& colors);
    // A script's bitmap as it is now, in `colors`.
    QImage get(const Bitmap& bitmap, const ColorTransform& colors);

private:
    std::map<std::uint64_t, QImage> scripts_; // by serial: the latest few
    std::shared_ptr<const Movie> movie_;
    std::map<std::uint16_t, QImage> decoded_;
    std::map<std::pair<std::uint16_t, std::vector<double>>, QImage> tinted_;
};

} // namespace quillmere::swf::qt
